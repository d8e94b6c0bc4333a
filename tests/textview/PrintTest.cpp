/*
 * Page setup and printing from a document window, through the menus and
 * the dialogs as a person uses them, printing to PDF files that are read
 * back with poppler's pdftotext.
 *
 * Cases:
 * - the first Print shows page setup, then the print dialog; the PDF
 *   holds on each page exactly its band of whole lines, as real text in
 *   an embedded font, on the chosen paper; a range of 2 to 10 of three
 *   pages prints pages 2 and 3; the second Print goes straight to the
 *   print dialog, which starts from the first one's choices;
 * - cancelling: a cancelled page setup shows no print dialog and prints
 *   nothing; a cancelled page setup or print dialog keeps the earlier
 *   choices; cancelling the save panel returns to the print dialog;
 * - a range from 5 of three pages prints nothing, though the job runs;
 * - a page too small for one line prints nothing and says so;
 * - a document printed through a real CUPS scheduler reaches its queue
 *   as the same pages;
 * - the dialogs and the save panel are modal to their document only:
 *   another document takes typing and opens its own page setup
 *   meanwhile, while keys for the printing one never reach its text.
 */
#include <gtest/gtest.h>

#include <Alert.h>
#include <MenuField.h>
#include <Menu.h>
#include <MenuItem.h>
#include <TextControl.h>

#include "EditorFixture.h"
#include "PrintTestSupport.h"
#include "ZELTextView.h"
#include "ZELWindow.h"

#include <math.h>
#include <stdio.h>
#include <unistd.h>

namespace {

const int32 kLineCount = 120;
// A4, less the default margins of 20 mm at the top and the bottom.
const double kPrintableHeight = 841.89 - 2 * 20 * 72 / 25.4;


class PrintTest : public EditorTest {
protected:
	PrintTest()
		:
		// No print system: "Save as PDF" is the only destination.
		fNoCups("CUPS_SERVER", (fDirectory.Path() + "/no-cups.sock").c_str()),
		fLocale("LC_ALL", "C"),
		fPaper("LC_PAPER", NULL),
		fLanguage("LANG", "C")
	{
	}

	ZELWindow* OpenNumberedLines(int32 count)
	{
		std::string text;
		for (int32 i = 1; i <= count; i++)
			text += Numbered(i) + "\n";
		return OpenDocument("lines.txt", text);
	}

	static std::string Numbered(int32 number)
	{
		char line[32];
		snprintf(line, sizeof(line), "line %03d", (int)number);
		return line;
	}

	float LineHeightOf(BWindow* window)
	{
		ZELTextView* view = TextOf(window);
		float height = 0;
		if (view != NULL && window->Lock()) {
			height = view->LineHeight(0);
			window->Unlock();
		}
		return height;
	}

	status_t Press(BWindow* dialog, const char* label)
	{
		BControl* control = fDriver.FindControl(dialog, label);
		EXPECT_TRUE(control != NULL) << label;
		return fDriver.Click(control);
	}

	status_t Choose(BWindow* dialog, const char* field, const char* label)
	{
		BMenuField* menuField = dynamic_cast<BMenuField*>(
			fDriver.FindView(dialog, field));
		EXPECT_TRUE(menuField != NULL) << field;
		return fDriver.ChooseMenuFieldItem(menuField, label);
	}

	std::string Marked(BWindow* dialog, const char* field)
	{
		BMenuField* menuField = dynamic_cast<BMenuField*>(
			fDriver.FindView(dialog, field));
		std::string label;
		if (menuField != NULL && dialog->Lock()) {
			BMenuItem* item = menuField->Menu()->FindMarked();
			label = item != NULL ? item->Label() : "";
			dialog->Unlock();
		}
		return label;
	}

	std::string TextOfField(BWindow* dialog, const char* name)
	{
		BTextControl* control = dynamic_cast<BTextControl*>(
			fDriver.FindView(dialog, name));
		std::string text;
		if (control != NULL && dialog->Lock()) {
			text = control->Text();
			dialog->Unlock();
		}
		return text;
	}

	status_t TypeInField(BWindow* dialog, const char* name, const char* text)
	{
		return fDriver.TypeInto(dynamic_cast<BTextControl*>(
			fDriver.FindView(dialog, name)), text);
	}

	// Presses Print in the print dialog and saves the PDF under the name.
	void SaveAsPdf(BWindow* printDialog, const char* name)
	{
		ASSERT_EQ(B_OK, Press(printDialog, "Print"));
		BWindow* panel = fDriver.WaitForWindow("Save");
		ASSERT_TRUE(panel != NULL);
		ASSERT_EQ(B_OK, fDriver.TypePanelSaveName(panel, name));
		ASSERT_EQ(B_OK, fDriver.PressPanelButton(panel, B_DEFAULT_BUTTON));
		fDriver.WaitForIdle();
	}

	// The lines that page (from 1) must hold with that many lines a page.
	std::vector<std::string> Band(int32 page, int32 linesPerPage)
	{
		std::vector<std::string> lines;
		for (int32 i = (page - 1) * linesPerPage + 1;
				i <= std::min(page * linesPerPage, kLineCount); i++) {
			lines.push_back(Numbered(i));
		}
		return lines;
	}

	ScopedEnvironment	fNoCups;
	ScopedEnvironment	fLocale;
	ScopedEnvironment	fPaper;
	ScopedEnvironment	fLanguage;
};

}	// namespace


TEST_F(PrintTest, PrintsBandsOfWholeLinesToPdf)
{
	ZELWindow* window = OpenNumberedLines(kLineCount);
	ASSERT_TRUE(window != NULL);
	int32 linesPerPage = (int32)(kPrintableHeight / LineHeightOf(window));
	int32 pageCount = (kLineCount + linesPerPage - 1) / linesPerPage;
	ASSERT_EQ(3, pageCount) << "the document must fill three pages";

	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Print..."));
	BWindow* setup = fDriver.WaitForWindow("Page Setup");
	ASSERT_TRUE(setup != NULL);
	EXPECT_EQ(NULL, fDriver.FindWindow("Print"));
	EXPECT_EQ("Portrait", Marked(setup, "orientation"));
	ASSERT_EQ(B_OK, fDriver.PressKey(setup, B_ENTER));

	BWindow* print = fDriver.WaitForWindow("Print");
	ASSERT_TRUE(print != NULL);
	EXPECT_EQ("Save as PDF", Marked(print, "destination"));
	SaveAsPdf(print, "all.pdf");

	std::vector<std::vector<std::string>> pages
		= pdf_page_lines(Path("all.pdf"));
	ASSERT_EQ((size_t)pageCount, pages.size());
	for (int32 page = 1; page <= pageCount; page++)
		EXPECT_EQ(Band(page, linesPerPage), pages[page - 1]) << page;
	char lines[32];
	snprintf(lines, sizeof(lines), "Lines=%ld", (long)linesPerPage);
	EXPECT_EQ(1, CountLines(lines));
	EXPECT_EQ(1, CountLines("Pages=3"));

	// A4, and the text is text in an embedded DejaVu font.
	double width = 0;
	double height = 0;
	ASSERT_TRUE(pdf_page_size(Path("all.pdf"), &width, &height));
	EXPECT_NEAR(595.28, width, 0.5);
	EXPECT_NEAR(841.89, height, 0.5);
	std::vector<std::string> fonts = pdf_fonts(Path("all.pdf"));
	ASSERT_FALSE(fonts.empty());
	for (const std::string& font : fonts) {
		EXPECT_NE(std::string::npos, font.find("DejaVu")) << font;
		EXPECT_NE(std::string::npos, font.find(" yes ")) << font;
	}

	// The second Print goes straight to the print dialog; a range of 2
	// to 10 of three pages prints the last two.
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Print..."));
	print = fDriver.WaitForWindow("Print");
	ASSERT_TRUE(print != NULL);
	EXPECT_EQ(NULL, fDriver.FindWindow("Page Setup"));
	ASSERT_EQ(B_OK, Choose(print, "pages", "Range"));
	ASSERT_EQ(B_OK, TypeInField(print, "from", "2"));
	ASSERT_EQ(B_OK, TypeInField(print, "to", "10"));
	SaveAsPdf(print, "range.pdf");
	pages = pdf_page_lines(Path("range.pdf"));
	ASSERT_EQ(2u, pages.size());
	EXPECT_EQ(Band(2, linesPerPage), pages[0]);
	EXPECT_EQ(Band(3, linesPerPage), pages[1]);

	// The third starts from the second's choices.
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Print..."));
	print = fDriver.WaitForWindow("Print");
	ASSERT_TRUE(print != NULL);
	EXPECT_EQ("Range", Marked(print, "pages"));
	EXPECT_EQ("2", TextOfField(print, "from"));
	EXPECT_EQ("10", TextOfField(print, "to"));
	ASSERT_EQ(B_OK, fDriver.PressKey(print, B_ESCAPE));
	EXPECT_EQ(NULL, fDriver.FindWindow("Print"));
}


TEST_F(PrintTest, CancellingPrintsNothingAndKeepsTheChoices)
{
	ZELWindow* window = OpenNumberedLines(10);
	ASSERT_TRUE(window != NULL);

	// No page setup yet: cancelling it ends the Print.
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Print..."));
	BWindow* setup = fDriver.WaitForWindow("Page Setup");
	ASSERT_TRUE(setup != NULL);
	ASSERT_EQ(B_OK, fDriver.PressKey(setup, B_ESCAPE));
	EXPECT_EQ(NULL, fDriver.FindWindow("Page Setup"));
	EXPECT_EQ(NULL, fDriver.FindWindow("Print"));
	EXPECT_EQ(1, CountLines("ZELTextView Print"));
	EXPECT_EQ(0, CountLines("Pages=1"));

	// Landscape is kept; a later page setup changed and cancelled (with
	// the Cancel button) keeps it.
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Page Setup..."));
	setup = fDriver.WaitForWindow("Page Setup");
	ASSERT_EQ(B_OK, Choose(setup, "orientation", "Landscape"));
	ASSERT_EQ(B_OK, Press(setup, "OK"));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Page Setup..."));
	setup = fDriver.WaitForWindow("Page Setup");
	EXPECT_EQ("Landscape", Marked(setup, "orientation"));
	ASSERT_EQ(B_OK, Choose(setup, "orientation", "Portrait"));
	ASSERT_EQ(B_OK, TypeInField(setup, "margin top", "5"));
	ASSERT_EQ(B_OK, Press(setup, "Cancel"));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Page Setup..."));
	setup = fDriver.WaitForWindow("Page Setup");
	EXPECT_EQ("Landscape", Marked(setup, "orientation"));
	EXPECT_EQ("20", TextOfField(setup, "margin top"));
	ASSERT_EQ(B_OK, fDriver.PressKey(setup, B_ESCAPE));

	// The print dialog: its choices cancelled are not kept, and nothing
	// is printed; a cancelled save panel returns to the dialog.
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Print..."));
	BWindow* print = fDriver.WaitForWindow("Print");
	ASSERT_TRUE(print != NULL);
	EXPECT_EQ(NULL, fDriver.FindWindow("Page Setup"));
	ASSERT_EQ(B_OK, Press(print, "Print"));
	BWindow* panel = fDriver.WaitForWindow("Save");
	ASSERT_EQ(B_OK, fDriver.CancelPanel(panel));
	EXPECT_EQ(print, fDriver.FindWindow("Print"));
	ASSERT_EQ(B_OK, Choose(print, "pages", "Range"));
	ASSERT_EQ(B_OK, Press(print, "Cancel"));
	EXPECT_EQ(NULL, fDriver.FindWindow("Print"));
	EXPECT_EQ(0, CountLines("Pages=1"));

	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Print..."));
	print = fDriver.WaitForWindow("Print");
	EXPECT_EQ("All", Marked(print, "pages"));
	ASSERT_EQ(B_OK, fDriver.PressKey(print, B_ESCAPE));
	EXPECT_EQ(0, access(Path("lines.pdf").c_str(), F_OK) == 0 ? 1 : 0);
}


TEST_F(PrintTest, RangesPastTheEndAndTinyPagesPrintNothing)
{
	ZELWindow* window = OpenNumberedLines(kLineCount);
	ASSERT_TRUE(window != NULL);

	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Print..."));
	ASSERT_EQ(B_OK, Press(fDriver.WaitForWindow("Page Setup"), "OK"));
	BWindow* print = fDriver.WaitForWindow("Print");
	ASSERT_EQ(B_OK, Choose(print, "pages", "Range"));
	ASSERT_EQ(B_OK, TypeInField(print, "from", "5"));
	ASSERT_EQ(B_OK, TypeInField(print, "to", ""));
	SaveAsPdf(print, "none.pdf");
	EXPECT_EQ(1, CountLines("Pages=3"));
	EXPECT_NE(0, access(Path("none.pdf").c_str(), F_OK));
	EXPECT_EQ(NULL, fDriver.FindAlert());

	// 297 mm less 294 mm of margins leave less than one line.
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Page Setup..."));
	BWindow* setup = fDriver.WaitForWindow("Page Setup");
	ASSERT_EQ(B_OK, TypeInField(setup, "margin top", "147"));
	ASSERT_EQ(B_OK, TypeInField(setup, "margin bottom", "147"));
	ASSERT_EQ(B_OK, Press(setup, "OK"));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Print..."));
	print = fDriver.WaitForWindow("Print");
	ASSERT_EQ(B_OK, Choose(print, "pages", "All"));
	SaveAsPdf(print, "tiny.pdf");
	EXPECT_EQ(1, CountLines("Lines=0"));
	EXPECT_EQ(0, CountLines("Pages=0"));
	BAlert* alert = fDriver.WaitForAlert();
	ASSERT_TRUE(alert != NULL);
	EXPECT_NE(std::string::npos,
		fDriver.AlertText(alert).find("too small for one line"));
	EXPECT_EQ(B_OK, fDriver.PressAlertButton(alert, "OK"));
	EXPECT_NE(0, access(Path("tiny.pdf").c_str(), F_OK));
}


TEST_F(PrintTest, PrintsThroughCups)
{
	PrivateCups cups;
	ASSERT_TRUE(cups.Started());
	ZELWindow* window = OpenNumberedLines(kLineCount);
	ASSERT_TRUE(window != NULL);
	int32 linesPerPage = (int32)(kPrintableHeight / LineHeightOf(window));

	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Print..."));
	BWindow* setup = fDriver.WaitForWindow("Page Setup");
	ASSERT_TRUE(setup != NULL);
	ASSERT_EQ(B_OK, Press(setup, "OK"));
	BWindow* print = fDriver.WaitForWindow("Print");
	ASSERT_TRUE(print != NULL);
	// The default printer comes first and is chosen.
	EXPECT_EQ("Orvane test queue", Marked(print, "destination"));
	ASSERT_EQ(B_OK, Press(print, "Print"));
	EXPECT_EQ(NULL, fDriver.FindWindow("Save"));

	std::vector<std::string> jobs = cups.WaitForJobs(1);
	ASSERT_EQ(1u, jobs.size()) << cups.Log();
	std::vector<std::vector<std::string>> pages = pdf_page_lines(jobs[0]);
	ASSERT_EQ(3u, pages.size());
	for (int32 page = 1; page <= 3; page++)
		EXPECT_EQ(Band(page, linesPerPage), pages[page - 1]) << page;
	EXPECT_EQ(NULL, fDriver.FindAlert());
}


TEST_F(PrintTest, DialogsHoldOnlyTheirDocument)
{
	WriteFile("first.txt", "first\n");
	WriteFile("second.txt", "second\n");
	ASSERT_TRUE(Launch({ "first.txt", "second.txt" }));
	ZELWindow* first = Document("first.txt");
	ZELWindow* second = Document("second.txt");
	ASSERT_TRUE(first != NULL && second != NULL);

	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(first, "File/Print..."));
	BWindow* setup = fDriver.WaitForWindow("Page Setup");
	ASSERT_TRUE(setup != NULL);
	EXPECT_EQ(first, fDriver.ServedWindow(setup));
	ASSERT_EQ(B_OK, fDriver.TypeText(second, "one "));
	ASSERT_EQ(B_OK, fDriver.PressKey(setup, B_ENTER));

	BWindow* print = fDriver.WaitForWindow("Print");
	ASSERT_TRUE(print != NULL);
	EXPECT_EQ(first, fDriver.ServedWindow(print));
	ASSERT_EQ(B_OK, fDriver.TypeText(second, "two "));
	// Keys for the printing document go to its dialog.
	ASSERT_EQ(B_OK, fDriver.TypeText(first, "9"));
	EXPECT_EQ(print, fDriver.ActiveWindow());

	{
		SCOPED_TRACE("the other document's own page setup");
		ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(second,
			"File/Page Setup..."));
		BWindow* otherSetup = fDriver.WaitForWindow("Page Setup");
		ASSERT_TRUE(otherSetup != NULL);
		EXPECT_EQ(second, fDriver.ServedWindow(otherSetup));
		ASSERT_EQ(B_OK, fDriver.PressKey(otherSetup, B_ESCAPE));
		EXPECT_EQ(NULL, fDriver.FindWindow("Page Setup"));
		EXPECT_EQ(print, fDriver.FindWindow("Print"));
	}

	{
		SCOPED_TRACE("the save panel");
		ASSERT_EQ(B_OK, Choose(print, "destination", "Save as PDF"));
		ASSERT_EQ(B_OK, Press(print, "Print"));
		BWindow* panel = fDriver.WaitForWindow("Save");
		ASSERT_TRUE(panel != NULL);
		ASSERT_EQ(B_OK, fDriver.TypeText(second, "three "));
		ASSERT_EQ(B_OK, fDriver.TypeText(first, "x"));
		EXPECT_EQ(panel, fDriver.ActiveWindow());
		ASSERT_EQ(B_OK, fDriver.CancelPanel(panel));
		EXPECT_EQ(print, fDriver.FindWindow("Print"));
	}
	ASSERT_EQ(B_OK, fDriver.PressKey(print, B_ESCAPE));
	EXPECT_EQ(NULL, fDriver.FindWindow("Print"));

	EXPECT_EQ("first\n", TextIn(first));
	std::string other = TextIn(second);
	for (const char* typed : { "one ", "two ", "three " })
		EXPECT_NE(std::string::npos, other.find(typed)) << other;

	// Free again, the first document takes typing as before.
	ASSERT_EQ(B_OK, fDriver.TypeText(first, "z"));
	EXPECT_NE(std::string::npos, TextIn(first).find('z'));
}
