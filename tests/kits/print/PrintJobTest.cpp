/*
 * BPrintJob in an application run by the test driver.
 *
 * Cases:
 * - a view prints itself onto PDF pages with its own Draw(): each page
 *   holds the part of the view asked for, placed inside the margins, as
 *   text; the view knows it is printing only while it draws on paper;
 * - a full disk (a file size limit) and a folder that does not exist:
 *   the job stops (CanContinue false), an alert says why, the file that
 *   was there is untouched and no half-written file stays behind;
 * - a job without pages writes nothing; a job cancelled halfway leaves
 *   nothing;
 * - the dialogs: Enter confirms the page setup, Escape and the close box
 *   cancel it with the settings unchanged, margins that are no number or
 *   leave no paper keep it open and say why; the print dialog's copies
 *   and range are checked the same way;
 * - CUPS: the private scheduler's queues are listed with the default
 *   first, the paper sizes of its queue are offered, a job lands in the
 *   queue's folder as the same PDF, and a queue that refuses jobs gets
 *   an alert that says so.
 */
#include <gtest/gtest.h>

#include <Alert.h>
#include <Application.h>
#include <MenuField.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <PrintJob.h>
#include <StringView.h>
#include <TestDriver.h>
#include <TextControl.h>
#include <View.h>
#include <Window.h>

#include "CupsPrinters.h"
#include "EditorTestSupport.h"
#include "PrintSettings.h"
#include "PrintTestSupport.h"

#include <dirent.h>

#include <atomic>
#include <future>

using namespace BPrivate;

namespace {

const float kRowHeight = 20;

// Rows of text, one every kRowHeight units down from the top; records
// what IsPrinting() said while it drew.
class RowsView : public BView {
public:
	RowsView(BRect frame, int32 rows)
		:
		BView(frame, "rows", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
		fRows(rows)
	{
	}

	void Draw(BRect updateRect) override
	{
		if (IsPrinting())
			fPrintedDraws++;
		for (int32 row = 0; row < fRows; row++) {
			float top = row * kRowHeight;
			if (top + kRowHeight <= updateRect.top
				|| top >= updateRect.bottom) {
				continue;
			}
			char text[32];
			snprintf(text, sizeof(text), "row %02d", (int)row);
			DrawString(text, BPoint(4, top + 15));
		}
	}

	std::atomic<int32>	fPrintedDraws{ 0 };

private:
	int32				fRows;
};


class PrintJobTest : public testing::Test {
protected:
	PrintJobTest()
		:
		fServer("CUPS_SERVER", (fFolder.Path() + "/no-cups.sock").c_str()),
		fLocale("LC_ALL", "C"),
		fView(NULL),
		fWindow(NULL)
	{
	}

	void SetUp() override
	{
		ASSERT_EQ(B_OK, fDriver.Launch([] {
			return new BApplication("application/x-vnd.Orvane-PrintTest");
		}));
		fWindow = new BWindow(BRect(50, 50, 349, 249), "Rows",
			B_TITLED_WINDOW, 0);
		fView = new RowsView(fWindow->Bounds(), 60);
		fWindow->AddChild(fView);
		fWindow->Show();
		fDriver.WaitForIdle();
	}

	// Settings for a PDF file at path, with margins of 36 points.
	BMessage* PdfSettings(const std::string& path)
	{
		PrintSettings settings;
		settings.paper = { "Letter", 612, 792 };
		settings.marginLeft = settings.marginTop = 36;
		settings.marginRight = settings.marginBottom = 36;
		settings.printer.clear();
		settings.pdfPath = path;
		BMessage* message = new BMessage;
		settings.WriteTo(*message);
		return message;
	}

	// Prints the bands of rows (first row, row count) one a page, on the
	// window's thread as an application would.
	bool PrintBands(BPrintJob& job,
		const std::vector<std::pair<int32, int32>>& bands)
	{
		if (!fWindow->Lock())
			return false;
		job.BeginJob();
		for (const std::pair<int32, int32>& band : bands) {
			if (!job.CanContinue())
				break;
			BRect rect(0, band.first * kRowHeight, 200,
				(band.first + band.second) * kRowHeight);
			job.DrawView(fView, rect, BPoint(0, 0));
			job.SpoolPage();
		}
		job.CommitJob();
		fWindow->Unlock();
		return job.CanContinue();
	}

	std::vector<std::string> Rows(int32 first, int32 count)
	{
		std::vector<std::string> rows;
		for (int32 row = first; row < first + count; row++) {
			char text[32];
			snprintf(text, sizeof(text), "row %02d", (int)row);
			rows.push_back(text);
		}
		return rows;
	}

	std::vector<std::string> FolderEntries()
	{
		std::vector<std::string> names;
		if (DIR* folder = opendir(fFolder.Path().c_str())) {
			while (struct dirent* entry = readdir(folder)) {
				if (entry->d_name[0] != '.' || strlen(entry->d_name) > 2)
					names.push_back(entry->d_name);
			}
			closedir(folder);
		}
		std::sort(names.begin(), names.end());
		return names;
	}

	// The text of the alert that the failure brought, answered.
	std::string FailureAlert()
	{
		BAlert* alert = fDriver.WaitForAlert();
		if (alert == NULL)
			return "";
		std::string text = fDriver.AlertText(alert);
		EXPECT_EQ("Printing failed", fDriver.AlertTitle(alert));
		fDriver.PressAlertButton(alert, "OK");
		return text;
	}

	TempDirectory		fFolder;
	ScopedEnvironment	fServer;
	ScopedEnvironment	fLocale;
	TestDriver			fDriver;
	RowsView*			fView;
	BWindow*			fWindow;
};

}	// namespace


TEST_F(PrintJobTest, ViewsPrintThemselvesAsText)
{
	std::string path = fFolder.Child("rows.pdf");
	BPrintJob job("rows");
	job.SetSettings(PdfSettings(path));
	EXPECT_EQ(BRect(0, 0, 612, 792), job.PaperRect());
	EXPECT_EQ(BRect(36, 36, 576, 756), job.PrintableRect());
	EXPECT_FALSE(fView->IsPrinting());

	ASSERT_TRUE(PrintBands(job, { { 0, 5 }, { 5, 5 }, { 30, 3 } }));
	EXPECT_EQ(3, fView->fPrintedDraws.load());
	EXPECT_FALSE(fView->IsPrinting());

	std::vector<std::vector<std::string>> pages = pdf_page_lines(path);
	ASSERT_EQ(3u, pages.size());
	EXPECT_EQ(Rows(0, 5), pages[0]);
	EXPECT_EQ(Rows(5, 5), pages[1]);
	EXPECT_EQ(Rows(30, 3), pages[2]);
	double width = 0;
	double height = 0;
	ASSERT_TRUE(pdf_page_size(path, &width, &height));
	EXPECT_DOUBLE_EQ(612, width);
	EXPECT_DOUBLE_EQ(792, height);

	// The text sits inside the margins: pdftotext's bounding boxes put
	// the first row's left at the left margin plus the view's 4.
	std::string boxes = run_command("pdftotext -bbox '" + path
		+ "' - 2>/dev/null");
	size_t word = boxes.find("xMin=\"");
	ASSERT_NE(std::string::npos, word);
	EXPECT_NEAR(40, atof(boxes.c_str() + word + 6), 0.5);
	std::vector<std::string> fonts = pdf_fonts(path);
	ASSERT_FALSE(fonts.empty());
	EXPECT_NE(std::string::npos, fonts[0].find(" yes ")) << fonts[0];

	// The file was written whole under its name, with nothing beside it.
	EXPECT_EQ(std::vector<std::string>({ "rows.pdf" }), FolderEntries());
}


TEST_F(PrintJobTest, FailuresStopTheJobAndSayWhy)
{
	std::string path = fFolder.Child("kept.pdf");
	FILE* file = fopen(path.c_str(), "w");
	ASSERT_TRUE(file != NULL);
	fputs("the old file", file);
	fclose(file);

	{
		// A disk that takes no more than a few hundred bytes.
		ScopedFileSizeLimit limit(300);
		BPrintJob job("rows");
		job.SetSettings(PdfSettings(path));
		EXPECT_FALSE(PrintBands(job, { { 0, 30 }, { 30, 30 } }));
		EXPECT_FALSE(job.CanContinue());
	}
	std::string text = FailureAlert();
	EXPECT_NE(std::string::npos, text.find("\"rows\" was not printed"))
		<< text;
	EXPECT_NE(std::string::npos, text.find("The PDF file could not be "
		"written: File too large")) << text;
	EXPECT_EQ("the old file", read_raw(path));
	EXPECT_EQ(std::vector<std::string>({ "kept.pdf" }), FolderEntries());

	BPrintJob missing("rows");
	missing.SetSettings(PdfSettings(fFolder.Child("gone/rows.pdf")));
	EXPECT_FALSE(PrintBands(missing, { { 0, 5 } }));
	text = FailureAlert();
	EXPECT_NE(std::string::npos, text.find("No such file or directory"))
		<< text;

	// No pages: nothing is written and nothing is wrong.
	BPrintJob empty("rows");
	empty.SetSettings(PdfSettings(fFolder.Child("empty.pdf")));
	PrintBands(empty, {});
	// Cancelled halfway: nothing is left.
	BPrintJob cancelled("rows");
	cancelled.SetSettings(PdfSettings(fFolder.Child("cancelled.pdf")));
	ASSERT_TRUE(fWindow->Lock());
	cancelled.BeginJob();
	cancelled.DrawView(fView, BRect(0, 0, 200, 100), BPoint(0, 0));
	cancelled.SpoolPage();
	cancelled.CancelJob();
	EXPECT_FALSE(cancelled.CanContinue());
	cancelled.CommitJob();
	fWindow->Unlock();
	fDriver.WaitForIdle();
	EXPECT_EQ(NULL, fDriver.FindAlert());
	EXPECT_EQ(std::vector<std::string>({ "kept.pdf" }), FolderEntries());
}


TEST_F(PrintJobTest, PageSetupDialogConfirmsCancelsAndChecks)
{
	BPrintJob job("rows");
	BMessage* before = job.Settings();
	std::future<status_t> answer = std::async(std::launch::async,
		[&] { return job.ConfigPage(); });
	BWindow* dialog = fDriver.WaitForWindow("Page Setup");
	ASSERT_TRUE(dialog != NULL);
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ESCAPE));
	EXPECT_EQ(B_CANCELED, answer.get());
	BMessage* after = job.Settings();
	EXPECT_EQ(before->GetFloat("margin_top", -1),
		after->GetFloat("margin_top", -2));
	delete after;

	// The close box cancels too.
	answer = std::async(std::launch::async, [&] { return job.ConfigPage(); });
	dialog = fDriver.WaitForWindow("Page Setup");
	ASSERT_EQ(B_OK, fDriver.CloseWindow(dialog));
	EXPECT_EQ(B_CANCELED, answer.get());

	// Words and margins that leave no paper keep the dialog open.
	answer = std::async(std::launch::async, [&] { return job.ConfigPage(); });
	dialog = fDriver.WaitForWindow("Page Setup");
	BTextControl* top = dynamic_cast<BTextControl*>(
		fDriver.FindView(dialog, "margin top"));
	BStringView* problem = dynamic_cast<BStringView*>(
		fDriver.FindView(dialog, "problem"));
	ASSERT_TRUE(top != NULL && problem != NULL);
	ASSERT_EQ(B_OK, fDriver.TypeInto(top, "ten"));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ENTER));
	EXPECT_EQ(dialog, fDriver.FindWindow("Page Setup"));
	ASSERT_TRUE(dialog->Lock());
	EXPECT_NE(std::string::npos,
		std::string(problem->Text()).find("millimetres"));
	dialog->Unlock();
	ASSERT_EQ(B_OK, fDriver.TypeInto(top, "290"));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ENTER));
	EXPECT_EQ(dialog, fDriver.FindWindow("Page Setup"));
	ASSERT_TRUE(dialog->Lock());
	EXPECT_NE(std::string::npos, std::string(problem->Text()).find("room"));
	dialog->Unlock();

	// Landscape with a top margin of 10 mm, confirmed with Enter.
	ASSERT_EQ(B_OK, fDriver.TypeInto(top, "10"));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuFieldItem(dynamic_cast<BMenuField*>(
		fDriver.FindView(dialog, "orientation")), "Landscape"));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ENTER));
	EXPECT_EQ(B_OK, answer.get());
	BRect paper = job.PaperRect();
	EXPECT_GT(paper.Width(), paper.Height());
	EXPECT_NEAR(10 * 72 / 25.4, job.PrintableRect().top, 0.05);
	delete before;
}


TEST_F(PrintJobTest, PrintDialogChecksRangeAndCopies)
{
	PrivateCups cups;
	ASSERT_TRUE(cups.Started());
	BPrintJob job("rows");
	std::future<status_t> answer = std::async(std::launch::async,
		[&] { return job.ConfigJob(); });
	BWindow* dialog = fDriver.WaitForWindow("Print");
	ASSERT_TRUE(dialog != NULL);
	BStringView* problem = dynamic_cast<BStringView*>(
		fDriver.FindView(dialog, "problem"));
	ASSERT_TRUE(problem != NULL);
	auto typeIn = [&](const char* name, const char* text) {
		return fDriver.TypeInto(dynamic_cast<BTextControl*>(
			fDriver.FindView(dialog, name)), text);
	};
	auto problemText = [&] {
		std::string text;
		if (dialog->Lock()) {
			text = problem->Text();
			dialog->Unlock();
		}
		return text;
	};

	ASSERT_EQ(B_OK, typeIn("copies", "0"));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ENTER));
	EXPECT_NE(std::string::npos, problemText().find("Copies"));
	ASSERT_EQ(B_OK, typeIn("copies", "2"));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuFieldItem(dynamic_cast<BMenuField*>(
		fDriver.FindView(dialog, "pages")), "Range"));
	ASSERT_EQ(B_OK, typeIn("from", "4"));
	ASSERT_EQ(B_OK, typeIn("to", "3"));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ENTER));
	EXPECT_NE(std::string::npos, problemText().find("range"));
	ASSERT_EQ(B_OK, typeIn("to", "6"));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ENTER));
	ASSERT_EQ(B_OK, answer.get());
	EXPECT_EQ(4, job.FirstPage());
	EXPECT_EQ(6, job.LastPage());
	BMessage* settings = job.Settings();
	EXPECT_EQ(std::string(PrivateCups::kQueue),
		settings->GetString("printer", ""));
	EXPECT_EQ(2, settings->GetInt32("copies", 0));
	delete settings;
}


TEST_F(PrintJobTest, JobsPassThroughCups)
{
	PrivateCups cups;
	ASSERT_TRUE(cups.Started());

	std::vector<printer_info> printers = list_printers();
	ASSERT_EQ(2u, printers.size());
	EXPECT_EQ(PrivateCups::kQueue, printers[0].name);
	EXPECT_TRUE(printers[0].isDefault);
	EXPECT_EQ("Orvane test queue", printers[0].label);
	EXPECT_EQ(PrivateCups::kQueue, default_printer_name());
	std::vector<paper_size> sizes = printer_paper_sizes(PrivateCups::kQueue);
	std::vector<std::string> names;
	for (const paper_size& size : sizes)
		names.push_back(size.name);
	std::sort(names.begin(), names.end());
	EXPECT_EQ(std::vector<std::string>({ "A4", "A6", "Letter" }), names);
	EXPECT_TRUE(printer_paper_sizes("no such queue").empty());

	PrintSettings settings;
	EXPECT_EQ(PrivateCups::kQueue, settings.printer);
	BMessage* message = new BMessage;
	settings.WriteTo(*message);
	BPrintJob job("rows through CUPS");
	job.SetSettings(message);
	ASSERT_TRUE(PrintBands(job, { { 0, 4 }, { 10, 2 } }));
	std::vector<std::string> jobs = cups.WaitForJobs(1);
	ASSERT_EQ(1u, jobs.size()) << cups.Log();
	std::vector<std::vector<std::string>> pages = pdf_page_lines(jobs[0]);
	ASSERT_EQ(2u, pages.size());
	EXPECT_EQ(Rows(0, 4), pages[0]);
	EXPECT_EQ(Rows(10, 2), pages[1]);
	EXPECT_EQ(NULL, fDriver.FindAlert());

	settings.printer = PrivateCups::kRefusingQueue;
	message = new BMessage;
	settings.WriteTo(*message);
	BPrintJob refused("refused");
	refused.SetSettings(message);
	EXPECT_FALSE(PrintBands(refused, { { 0, 4 } }));
	std::string text = FailureAlert();
	EXPECT_NE(std::string::npos, text.find("The printer \"orvane-closed\" "
		"did not accept the job")) << text;
}
