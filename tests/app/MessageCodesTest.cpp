/*
 * The message codes against their published decimal values.
 *
 * Cases: every program code; the platform codes the program sends or
 * handles; the codes that carry two meanings share one value.
 */
#include <gtest/gtest.h>

#include <TypeConstants.h>

#include "MessageCodes.h"


TEST(MessageCodesTest, ProgramCodesHaveTheirDecimalValues)
{
	struct { uint32 code; uint32 value; const char* name; } codes[] = {
		{ kMsgNew, 1179020901u, "FFne" },
		{ kMsgOpen, 1179021168u, "FFop" },
		{ kMsgClose, 1179018092u, "FFcl" },
		{ kMsgSave, 1179022198u, "FFsv" },
		{ kMsgSaveAs, 1179022177u, "FFsa" },
		{ kMsgPageSetup, 1179021427u, "FFps" },
		{ kMsgPrint, 1179021426u, "FFpr" },
		{ kMsgFind, 1178953321u, "FEfi" },
		{ kMsgFindAgain, 1178953313u, "FEfa" },
		{ kMsgReplace, 1178956389u, "FEre" },
		{ kMsgReplaceSame, 1178956403u, "FErs" },
		{ kMsgSettings, 1180201829u, "FXse" },
		{ kMsgSettingsRecord, 1179480178u, "FMpr" },
		{ kMsgWindowClosed, 1179481463u, "FMuw" },
		{ kMsgTextChanged, 1179480942u, "FMsn" },
		{ kMsgSearchFind, 1179480933u, "FMse" },
		{ kMsgSearchReplace, 1179480677u, "FMre" },
		{ kMsgSearchReplaceAll, 1179480673u, "FMra" },
		{ kMsgApply, 1179476336u, "FMap" },
		{ kMsgCancel, 1179476833u, "FMca" },
		{ kMsgDefaults, 1179477093u, "FMde" },
		{ kMsgSettingsMatch, 1179477094u, "FMdf" },
		{ kMsgFontFamilyChosen, 1179477603u, "FMfc" },
		{ kMsgLineLengthEdited, 1179479139u, "FMlc" },
		{ kMsgFontSizeChosen, 1179480931u, "FMsc" },
	};
	for (const auto& entry : codes) {
		SCOPED_TRACE(entry.name);
		EXPECT_EQ(entry.code, entry.value);
		// The first character is the most significant byte.
		uint32 fromName = (uint32)(uint8)entry.name[0] << 24
			| (uint32)(uint8)entry.name[1] << 16
			| (uint32)(uint8)entry.name[2] << 8 | (uint8)entry.name[3];
		EXPECT_EQ(entry.code, fromName);
	}
}


TEST(MessageCodesTest, DualMeaningCodesShareTheirValues)
{
	EXPECT_EQ(kMsgRevert, kMsgSearchReplace);
	EXPECT_EQ(kMsgFindTextEdited, kMsgFontFamilyChosen);
}


TEST(MessageCodesTest, PlatformCodesHaveTheirValues)
{
	struct { uint32 code; const char* name; } codes[] = {
		{ B_QUIT_REQUESTED, "_QRQ" },
		{ B_ABOUT_REQUESTED, "_ABR" },
		{ B_REFS_RECEIVED, "_RRC" },
		{ B_SIMPLE_DATA, "DATA" },
		{ B_SAVE_REQUESTED, "SAVE" },
		{ B_CANCEL, "_CNC" },
		{ B_KEY_DOWN, "_KYD" },
		{ B_UNDO, "UNDO" },
		{ B_CUT, "CCUT" },
		{ B_COPY, "COPY" },
		{ B_PASTE, "PSTE" },
		{ B_SELECT_ALL, "SALL" },
		{ B_REF_TYPE, "RREF" },
		{ B_INT32_TYPE, "LONG" },
		{ B_STRING_TYPE, "CSTR" },
	};
	for (const auto& entry : codes) {
		SCOPED_TRACE(entry.name);
		uint32 fromName = (uint32)(uint8)entry.name[0] << 24
			| (uint32)(uint8)entry.name[1] << 16
			| (uint32)(uint8)entry.name[2] << 8 | (uint8)entry.name[3];
		EXPECT_EQ(entry.code, fromName);
	}
	// Spot-check the decimal form of two that the program relies on.
	EXPECT_EQ((uint32)B_QUIT_REQUESTED, 1599165009u);
	EXPECT_EQ((uint32)B_REF_TYPE, 1381123398u);
}
