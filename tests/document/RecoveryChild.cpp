/*
 * The program the kill test starts again and again: Orvane in this
 * process, operated through the test driver on the offscreen display.
 *
 *   recovery_child (untitled|FILE) AT BASE_LENGTH REPORT SEED SAVE_AT
 *
 * It opens FILE (or starts untitled), answers the notice of what was
 * recovered, and writes what the document holds to REPORT: its length,
 * then hashes of the text before AT and after the typed run, then the
 * typed run itself (the bytes from AT on that are not the base's; the
 * base is the file as it was first made, BASE_LENGTH bytes). Then it types, at AT, the
 * characters of the test's sequence from where the recovered text left
 * off, saving with Ctrl+S once the run reaches SAVE_AT (-1: never), until
 * it is killed or a key no longer reaches the text. On descriptor 3 it says "R" once the report is written,
 * "A n" before it types character n of the sequence, "D n" once the
 * window has handled it, and "S n" once a save of the first n is done.
 */
#include <Alert.h>
#include <Window.h>

#include <TestDriver.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <string_view>

#include "RecoverySequence.h"
#include "ZELApp.h"
#include "ZELTextView.h"


namespace {

void
say(const std::string& line)
{
	std::string text = line + "\n";
	ssize_t written = write(3, text.data(), text.size());
	(void)written;
}


std::string
text_of(BWindow* window, ZELTextView* view)
{
	std::string text;
	if (window->Lock()) {
		text.assign(view->Text(), view->TextLength());
		window->Unlock();
	}
	return text;
}

}	// namespace


int
main(int argc, char** argv)
{
	if (argc != 7)
		return 2;
	std::string file = argv[1];
	size_t at = strtoull(argv[2], NULL, 10);
	size_t baseLength = strtoull(argv[3], NULL, 10);
	std::string report = argv[4];
	uint32 seed = strtoul(argv[5], NULL, 10);
	long saveAt = strtol(argv[6], NULL, 10);
	bool untitled = file == "untitled";

	TestDriver driver;
	std::vector<std::string> arguments;
	if (!untitled)
		arguments.push_back(file);
	if (driver.Launch<ZELApp>(arguments) != B_OK)
		return 3;
	if (BAlert* notice = driver.FindAlert())
		driver.PressAlertButton(notice, 0);

	const char* leaf = strrchr(file.c_str(), '/');
	std::string title = untitled ? "Untitled - 1"
		: leaf != NULL ? leaf + 1 : file;
	BWindow* window = driver.WaitForWindow(title.c_str());
	ZELTextView* view = window != NULL
		? driver.FindView<ZELTextView>(window) : NULL;
	if (view == NULL)
		return 4;

	// The text is the base with the typed run at AT: reported as that.
	std::string text = text_of(window, view);
	if (text.size() < baseLength || at > baseLength)
		return 5;
	size_t typed = text.size() - baseLength;
	std::hash<std::string_view> hash;
	{
		std::ofstream out(report, std::ios::binary | std::ios::trunc);
		out << text.size() << " "
			<< hash(std::string_view(text).substr(0, at)) << " "
			<< hash(std::string_view(text).substr(at + typed)) << "\n";
		out.write(text.data() + at, typed);
	}
	say("R");

	if (window->Lock()) {
		view->Select(at + typed, at + typed);
		window->Unlock();
	}
	for (size_t n = typed;; n++) {
		say("A " + std::to_string(n));
		char character[2] = { recovery_character(seed, n), '\0' };
		driver.TypeText(window, character);
		// Once a question stands in front of the window (the quit that a
		// SIGTERM asks for), keys no longer reach the text, and a person
		// would stop typing.
		if (text_of(window, view).size() != baseLength + n + 1)
			break;
		say("D " + std::to_string(n));
		if ((long)n + 1 == saveAt) {
			driver.PressKey(window, 's', B_COMMAND_KEY);
			say("S " + std::to_string(n + 1));
		}
	}
	for (;;)
		pause();
}
