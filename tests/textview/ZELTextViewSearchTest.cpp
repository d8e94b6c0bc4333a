/*
 * Find and replace in the document text view, through its messages.
 *
 * Cases:
 * - a find request stores its text and selects the next occurrence from
 *   the selection start on, wrapping; Find Again repeats it; each search
 *   prints the selection and the text length; Find Again before any
 *   search, and an empty search, print and change nothing;
 * - requests without their fields change neither the text nor the
 *   stored texts;
 * - Replace replaces the next occurrence and selects the replacement,
 *   Replace Same repeats it with the stored texts, the first replacement
 *   marks the document changed, and each undoes as one step;
 * - Replace All replaces each occurrence that was there when it began,
 *   ends for a replacement that contains or equals the search text or is
 *   empty, prints the lines of every search it stands for, and undoes
 *   and redoes as one step that gives back the exact bytes; a text that
 *   may not grow is left as it was;
 * - a match inside a UTF-8 character is never replaced.
 */
#include <gtest/gtest.h>

#include <AppDefs.h>
#include <Message.h>

#include "EditorFixture.h"
#include "MessageCodes.h"
#include "ZELSearch.h"
#include "ZELTextView.h"
#include "ZELWindow.h"

namespace {

class ZELTextViewSearchTest : public EditorTest {
protected:
	// A document holding the bytes, with the caret at 0.
	ZELWindow* Open(const std::string& bytes)
	{
		return OpenDocument("text.txt", bytes);
	}

	void ToView(BWindow* window, BMessage* message)
	{
		window->PostMessage(message, TextOf(window));
		fDriver.WaitForIdle();
	}
	void ToView(BWindow* window, uint32 what)
	{
		BMessage message(what);
		ToView(window, &message);
	}
	void Request(BWindow* window, uint32 what, const char* find,
		const char* replacement = NULL)
	{
		BMessage message(what);
		if (find != NULL)
			message.AddString(FindText, find);
		if (replacement != NULL)
			message.AddString(ReplaceText, replacement);
		ToView(window, &message);
	}

	void Undo(BWindow* window, bool redo = false)
	{
		ToView(window, redo ? B_REDO : B_UNDO);
	}
};

typedef std::pair<int32, int32> Range;

}	// namespace


TEST_F(ZELTextViewSearchTest, FindAndFindAgain)
{
	ZELWindow* window = Open("abcabc");
	ASSERT_NE((ZELWindow*)NULL, window);

	// Nothing stored yet: Find Again has nothing to look for.
	ToView(window, kMsgFindAgain);
	EXPECT_EQ(0, CountLines("TextLen=6"));
	EXPECT_EQ(Range(0, 0), SelectionOf(window));

	Request(window, kMsgSearchFind, "abc");
	EXPECT_EQ(Range(3, 6), SelectionOf(window));
	EXPECT_TRUE(PrintedInOrder({ "Start=0 Finish=0", "TextLen=6" }));
	ToView(window, kMsgFindAgain);
	EXPECT_EQ(Range(0, 3), SelectionOf(window));
	EXPECT_TRUE(PrintedInOrder({ "Start=3 Finish=6", "TextLen=6" }));
	ToView(window, kMsgFindAgain);
	EXPECT_EQ(Range(3, 6), SelectionOf(window));

	// Case counts, and a miss keeps the selection.
	Request(window, kMsgSearchFind, "ABC");
	EXPECT_EQ(Range(3, 6), SelectionOf(window));
	// An empty search prints nothing.
	int32 searches = CountLines("TextLen=6");
	Request(window, kMsgSearchFind, "");
	EXPECT_EQ(searches, CountLines("TextLen=6"));
	EXPECT_EQ("abcabc", TextIn(window));
	EXPECT_TRUE(IsClean(window));
}


TEST_F(ZELTextViewSearchTest, RequestsWithoutTheirFieldsAreIgnored)
{
	ZELWindow* window = Open("one two one");
	ASSERT_NE((ZELWindow*)NULL, window);
	Request(window, kMsgSearchFind, "two");
	EXPECT_EQ(Range(4, 7), SelectionOf(window));

	Select(window, 0, 0);
	Request(window, kMsgSearchFind, NULL);
	Request(window, kMsgSearchReplace, "one", NULL);
	Request(window, kMsgSearchReplaceAll, NULL, "x");
	EXPECT_EQ("one two one", TextIn(window));
	EXPECT_EQ(Range(0, 0), SelectionOf(window));
	// The stored text is still "two".
	ToView(window, kMsgFindAgain);
	EXPECT_EQ(Range(4, 7), SelectionOf(window));
	// The stored replacement is still the empty one of the start.
	ToView(window, kMsgReplaceSame);
	EXPECT_EQ("one  one", TextIn(window));
}


TEST_F(ZELTextViewSearchTest, ReplaceAndReplaceSame)
{
	ZELWindow* window = Open("a cat, a cat, a cat");
	ASSERT_NE((ZELWindow*)NULL, window);

	Request(window, kMsgSearchReplace, "cat", "dog");
	EXPECT_EQ("a dog, a cat, a cat", TextIn(window));
	EXPECT_EQ(Range(2, 5), SelectionOf(window));
	EXPECT_FALSE(IsClean(window));
	EXPECT_EQ(1, CountLines("BMessage('FMsn') {"));

	ToView(window, kMsgReplaceSame);
	EXPECT_EQ("a dog, a dog, a cat", TextIn(window));
	EXPECT_EQ(Range(9, 12), SelectionOf(window));

	// An empty replacement leaves the caret where the match was.
	Request(window, kMsgSearchReplace, "cat", "");
	EXPECT_EQ("a dog, a dog, a ", TextIn(window));
	EXPECT_EQ(Range(16, 16), SelectionOf(window));

	// One undo for each replacement.
	Undo(window);
	EXPECT_EQ("a dog, a dog, a cat", TextIn(window));
	Undo(window);
	EXPECT_EQ("a dog, a cat, a cat", TextIn(window));
	Undo(window, true);
	EXPECT_EQ("a dog, a dog, a cat", TextIn(window));

	// No match: nothing changes.
	Request(window, kMsgSearchReplace, "cow", "x");
	EXPECT_EQ("a dog, a dog, a cat", TextIn(window));
}


TEST_F(ZELTextViewSearchTest, ReplaceAllEndsAndUndoesInOneStep)
{
	struct Case {
		std::string text;
		const char* find;
		const char* replacement;
		std::string result;
		Range selected;
	};
	std::vector<Case> cases = {
		{ "aaa", "a", "b", "bbb", Range(0, 1) },
		{ "aaa", "a", "", "", Range(0, 0) },
		{ "a b a", "a", "aa", "aa b aa", Range(0, 2) },
		{ "xx", "x", "x", "xx", Range(0, 1) },
		{ "ab\r\nab\0ab", "ab", "abab", "abab\r\nabab\0abab", Range(0, 4) },
	};
	cases[4].text.assign("ab\r\nab\0ab", 9);
	cases[4].result.assign("abab\r\nabab\0abab", 15);
	std::vector<std::string> files;
	for (size_t i = 0; i < cases.size(); i++) {
		files.push_back("case" + std::to_string(i) + ".txt");
		WriteFile(files.back(), cases[i].text);
	}
	ASSERT_TRUE(Launch(files));
	for (size_t i = 0; i < cases.size(); i++) {
		const Case& test = cases[i];
		SCOPED_TRACE(test.result);
		ZELWindow* window = Document(files[i].c_str());
		ASSERT_NE((ZELWindow*)NULL, window);
		Request(window, kMsgSearchReplaceAll, test.find, test.replacement);
		EXPECT_EQ(test.result, TextIn(window));
		EXPECT_EQ(test.selected, SelectionOf(window));
		Undo(window);
		EXPECT_EQ(test.text, TextIn(window));
		EXPECT_EQ(Range(0, 0), SelectionOf(window));
		Undo(window, true);
		EXPECT_EQ(test.result, TextIn(window));
	}
}


TEST_F(ZELTextViewSearchTest, ReplaceAllPrintsEverySearch)
{
	ZELWindow* window = Open("aaa");
	ASSERT_NE((ZELWindow*)NULL, window);
	Request(window, kMsgSearchReplaceAll, "a", "bb");
	EXPECT_EQ("bbbbbb", TextIn(window));
	// Replacements at 1, 2 and then 0, as the searches visit them, each
	// search starting from the replacement before.
	EXPECT_TRUE(PrintedInOrder({ "Start=0 Finish=0", "TextLen=3",
		"Start=1 Finish=3", "TextLen=4", "Start=3 Finish=5", "TextLen=5",
		"Start=0 Finish=2", "TextLen=6" }));
	EXPECT_EQ(Range(0, 2), SelectionOf(window));

	// Nothing to replace: one search, and the selection stays.
	Select(window, 1, 2);
	Request(window, kMsgSearchReplaceAll, "x", "");
	EXPECT_TRUE(PrintedInOrder({ "Start=1 Finish=2", "TextLen=6" }));
	EXPECT_EQ(Range(1, 2), SelectionOf(window));
	EXPECT_EQ("bbbbbb", TextIn(window));

	// A text that may not grow keeps its bytes, and the report shows the
	// one search only.
	ASSERT_TRUE(window->Lock());
	TextOf(window)->SetMaxBytes(6);
	window->Unlock();
	Request(window, kMsgSearchReplaceAll, "b", "cc");
	EXPECT_EQ("bbbbbb", TextIn(window));
	EXPECT_EQ(0, CountLines("TextLen=7"));
	EXPECT_EQ(Range(1, 2), SelectionOf(window));
}


TEST_F(ZELTextViewSearchTest, MatchesInsideACharacterAreNotReplaced)
{
	// "€" is E2 82 AC; a lone AC byte stands after it.
	ZELWindow* window = Open("\xe2\x82\xac \xac");
	ASSERT_NE((ZELWindow*)NULL, window);
	Request(window, kMsgSearchReplace, "\x82", "x");
	EXPECT_EQ("\xe2\x82\xac \xac", TextIn(window));
	Request(window, kMsgSearchReplaceAll, "\xac", "y");
	EXPECT_EQ("\xe2\x82\xac y", TextIn(window));
	Request(window, kMsgSearchReplaceAll, "\xe2\x82\xac", "euro");
	EXPECT_EQ("euro y", TextIn(window));
}
