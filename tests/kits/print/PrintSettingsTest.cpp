/*
 * The print kit's plain parts, without a window.
 *
 * Cases:
 * - the defaults: A4 margins of 20 mm, Letter where the locale prints on
 *   it, all pages, one copy, a PDF file when there is no printer;
 * - settings written to a message read back the same; landscape turns
 *   the paper and the printable rect with it;
 * - damaged messages (missing or mistyped fields, negative or huge
 *   margins, margins that meet, an empty range, no copies) read as the
 *   defaults for what is wrong and keep what is sound;
 * - media names: "iso_a4_210x297mm" is A4, "na_letter_8.5x11in" Letter,
 *   other names stay as they are;
 * - the name proposed for a job's PDF;
 * - numbers typed into the dialogs.
 */
#include <gtest/gtest.h>

#include <Message.h>

#include "CupsPrinters.h"
#include "JobSetupWindow.h"
#include "PageSetupWindow.h"
#include "PrintSettings.h"
#include "StorageTestSupport.h"

using namespace BPrivate;

namespace {

// No print system and a locale without Letter unless a test says so.
class PrintSettingsTest : public testing::Test {
protected:
	PrintSettingsTest()
		:
		fServer("CUPS_SERVER", "/nonexistent/cups.sock"),
		fAll("LC_ALL", NULL),
		fPaper("LC_PAPER", NULL),
		fLanguage("LANG", "de_DE.UTF-8")
	{
	}

	ScopedEnvironment	fServer;
	ScopedEnvironment	fAll;
	ScopedEnvironment	fPaper;
	ScopedEnvironment	fLanguage;
};

}	// namespace


TEST_F(PrintSettingsTest, Defaults)
{
	PrintSettings settings;
	EXPECT_EQ("A4", settings.paper.name);
	EXPECT_EQ(kPortrait, settings.orientation);
	EXPECT_NEAR(56.69, settings.marginLeft, 0.01);
	EXPECT_NEAR(56.69, settings.marginBottom, 0.01);
	EXPECT_EQ("", settings.printer);
	EXPECT_EQ(1, settings.firstPage);
	EXPECT_EQ(PrintSettings::kAllPages, settings.lastPage);
	EXPECT_EQ(1, settings.copies);
	BRect printable = settings.PrintableRect();
	EXPECT_NEAR(56.69, printable.left, 0.01);
	EXPECT_NEAR(841.89 - 56.69, printable.bottom, 0.01);

	{
		ScopedEnvironment letter("LC_PAPER", "en_US.UTF-8");
		EXPECT_EQ("Letter", PrintSettings().paper.name);
	}
	{
		// LC_ALL wins over LC_PAPER.
		ScopedEnvironment letter("LC_PAPER", "en_US.UTF-8");
		ScopedEnvironment all("LC_ALL", "fr_FR.UTF-8");
		EXPECT_EQ("A4", PrintSettings().paper.name);
	}
}


TEST_F(PrintSettingsTest, MessagesRoundTripAndLandscapeTurns)
{
	PrintSettings settings;
	settings.paper = { "Letter", 612, 792 };
	settings.orientation = kLandscape;
	settings.marginLeft = 10;
	settings.marginTop = 20;
	settings.marginRight = 30;
	settings.marginBottom = 40;
	settings.printer = "office";
	settings.pdfPath = "/tmp/out.pdf";
	settings.firstPage = 2;
	settings.lastPage = 10;
	settings.copies = 3;
	BMessage message;
	settings.WriteTo(message);
	EXPECT_EQ(PrintSettings::kWhat, message.what);

	PrintSettings read;
	read.ReadFrom(message);
	EXPECT_EQ("Letter", read.paper.name);
	EXPECT_EQ(kLandscape, read.orientation);
	EXPECT_EQ("office", read.printer);
	EXPECT_EQ("/tmp/out.pdf", read.pdfPath);
	EXPECT_EQ(2, read.firstPage);
	EXPECT_EQ(10, read.lastPage);
	EXPECT_EQ(3, read.copies);

	// Landscape: the paper lies on its long side; the margins are from
	// the edges as the page is turned.
	EXPECT_EQ(BRect(0, 0, 792, 612), read.PaperRect());
	EXPECT_EQ(BRect(10, 20, 762, 572), read.PrintableRect());
	read.orientation = kPortrait;
	EXPECT_EQ(BRect(10, 20, 582, 752), read.PrintableRect());
}


TEST_F(PrintSettingsTest, DamagedMessagesKeepWhatIsSound)
{
	PrintSettings defaults;
	BMessage message(PrintSettings::kWhat);
	message.AddString("paper", "Huge");
	message.AddFloat("paper_width", 1e9f);
	message.AddFloat("paper_height", 842);
	message.AddInt32("orientation", 7);
	message.AddFloat("margin_left", -5);
	message.AddFloat("margin_top", 10);
	message.AddFloat("margin_right", 10);
	message.AddFloat("margin_bottom", 10);
	message.AddString("printer", "office");
	message.AddInt32("first_page", 5);
	message.AddInt32("last_page", 4);
	message.AddInt32("copies", 0);
	PrintSettings read;
	read.ReadFrom(message);
	EXPECT_EQ(defaults.paper.name, read.paper.name);
	EXPECT_EQ(kPortrait, read.orientation);
	EXPECT_EQ(defaults.marginLeft, read.marginLeft);
	EXPECT_EQ(defaults.marginTop, read.marginTop);
	EXPECT_EQ("office", read.printer);
	EXPECT_EQ(1, read.firstPage);
	EXPECT_EQ(PrintSettings::kAllPages, read.lastPage);
	EXPECT_EQ(1, read.copies);

	// Margins that leave nothing of the paper are no margins.
	BMessage meeting(PrintSettings::kWhat);
	meeting.AddFloat("margin_left", 300);
	meeting.AddFloat("margin_top", 10);
	meeting.AddFloat("margin_right", 300);
	meeting.AddFloat("margin_bottom", 10);
	read = PrintSettings();
	read.ReadFrom(meeting);
	EXPECT_EQ(defaults.marginLeft, read.marginLeft);
	EXPECT_TRUE(read.PrintableRect().IsValid());

	// Fields of another type are missing fields.
	BMessage mistyped(PrintSettings::kWhat);
	mistyped.AddString("copies", "3");
	mistyped.AddInt32("printer", 3);
	read = PrintSettings();
	read.ReadFrom(mistyped);
	EXPECT_EQ(1, read.copies);
	EXPECT_EQ("", read.printer);
}


TEST_F(PrintSettingsTest, NamesAndNumbers)
{
	EXPECT_EQ("A4", media_label("iso_a4_210x297mm"));
	EXPECT_EQ("A6", media_label("iso_a6_105x148mm_borderless"));
	EXPECT_EQ("Letter", media_label("na_letter_8.5x11in"));
	EXPECT_EQ("B5", media_label("jis_b5_182x257mm"));
	EXPECT_EQ("Custom", media_label("Custom"));
	EXPECT_EQ("a__b", media_label("a__b"));

	EXPECT_EQ("notes.pdf", pdf_name_for_job("notes.txt"));
	EXPECT_EQ("archive.tar.pdf", pdf_name_for_job("archive.tar.gz"));
	EXPECT_EQ("Untitled - 1.pdf", pdf_name_for_job("Untitled - 1"));
	EXPECT_EQ(".profile.pdf", pdf_name_for_job(".profile"));
	EXPECT_EQ("a-b.pdf", pdf_name_for_job("a/b"));
	EXPECT_EQ("Untitled.pdf", pdf_name_for_job(""));

	double value = -1;
	EXPECT_TRUE(parse_number("12.5", 100, &value));
	EXPECT_DOUBLE_EQ(12.5, value);
	EXPECT_TRUE(parse_number("0", 100, &value));
	EXPECT_TRUE(parse_number("7 ", 100, &value));
	EXPECT_FALSE(parse_number("", 100, &value));
	EXPECT_FALSE(parse_number("-1", 100, &value));
	EXPECT_FALSE(parse_number("12mm", 100, &value));
	EXPECT_FALSE(parse_number("101", 100, &value));
	EXPECT_FALSE(parse_number("nan", 100, &value));
	EXPECT_FALSE(parse_number("inf", 1e300, &value));
	EXPECT_FALSE(parse_number(NULL, 100, &value));
}
