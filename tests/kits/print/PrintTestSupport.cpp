/*
 * Reading PDFs back, and the private CUPS scheduler.
 */
#include "PrintTestSupport.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

extern char** environ;

const char* const PrivateCups::kQueue = "orvane-test";
const char* const PrivateCups::kRefusingQueue = "orvane-closed";

namespace {

// A printer description with three paper sizes, taking PDF as it is.
const char* const kPpd =
	"*PPD-Adobe: \"4.3\"\n"
	"*FormatVersion: \"4.3\"\n"
	"*FileVersion: \"1.0\"\n"
	"*LanguageVersion: English\n"
	"*LanguageEncoding: ISOLatin1\n"
	"*PCFileName: \"ORVANE.PPD\"\n"
	"*Manufacturer: \"Orvane\"\n"
	"*Product: \"(Orvane Test)\"\n"
	"*ModelName: \"Orvane Test Printer\"\n"
	"*ShortNickName: \"Orvane Test\"\n"
	"*NickName: \"Orvane Test Printer\"\n"
	"*PSVersion: \"(3010.000) 0\"\n"
	"*LanguageLevel: \"3\"\n"
	"*ColorDevice: True\n"
	"*DefaultColorSpace: RGB\n"
	"*FileSystem: False\n"
	"*Throughput: \"1\"\n"
	"*LandscapeOrientation: Plus90\n"
	"*TTRasterizer: Type42\n"
	"*cupsFilter: \"application/pdf 0 -\"\n"
	"*OpenUI *PageSize/Media Size: PickOne\n"
	"*OrderDependency: 10 AnySetup *PageSize\n"
	"*DefaultPageSize: A4\n"
	"*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
	"*PageSize Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n"
	"*PageSize A6/A6: \"<</PageSize[298 420]>>setpagedevice\"\n"
	"*CloseUI: *PageSize\n"
	"*DefaultImageableArea: A4\n"
	"*ImageableArea A4/A4: \"0 0 595 842\"\n"
	"*ImageableArea Letter/US Letter: \"0 0 612 792\"\n"
	"*ImageableArea A6/A6: \"0 0 298 420\"\n"
	"*DefaultPaperDimension: A4\n"
	"*PaperDimension A4/A4: \"595 842\"\n"
	"*PaperDimension Letter/US Letter: \"612 792\"\n"
	"*PaperDimension A6/A6: \"298 420\"\n";

// The queue's backend: copies the job's file into the folder its device
// URI names.
const char* const kBackend =
	"#!/bin/sh\n"
	"if [ $# -eq 0 ]; then\n"
	"\techo 'direct orvanetest \"Unknown\" \"Orvane test output\"'\n"
	"\texit 0\n"
	"fi\n"
	"folder=\"${DEVICE_URI#orvanetest:}\"\n"
	"if [ $# -ge 6 ]; then\n"
	"\tcp \"$6\" \"$folder/job-$1.tmp\" || exit 1\n"
	"else\n"
	"\tcat > \"$folder/job-$1.tmp\" || exit 1\n"
	"fi\n"
	"mv \"$folder/job-$1.tmp\" \"$folder/job-$1.pdf\"\n";


void
write_text(const std::string& path, const std::string& text, mode_t mode)
{
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out << text;
	out.close();
	chmod(path.c_str(), mode);
}

}	// namespace


std::string
run_command(const std::string& command, int* _status)
{
	std::string output;
	FILE* pipe = popen(command.c_str(), "r");
	if (pipe == NULL) {
		if (_status != NULL)
			*_status = -1;
		return output;
	}
	char buffer[4096];
	size_t count;
	while ((count = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
		output.append(buffer, count);
	int status = pclose(pipe);
	if (_status != NULL)
		*_status = status;
	return output;
}


std::vector<std::vector<std::string>>
pdf_page_lines(const std::string& path)
{
	int status;
	std::string text = run_command("pdftotext -enc UTF-8 '" + path
		+ "' - 2>&1", &status);
	std::vector<std::vector<std::string>> pages;
	if (status != 0) {
		ADD_FAILURE() << "pdftotext failed on " << path << ": " << text;
		return pages;
	}
	// Each page ends with a form feed.
	std::vector<std::string> page;
	std::string line;
	for (char c : text) {
		if (c == '\n' || c == '\f') {
			if (!line.empty())
				page.push_back(line);
			line.clear();
			if (c == '\f') {
				pages.push_back(page);
				page.clear();
			}
		} else
			line += c;
	}
	return pages;
}


bool
pdf_page_size(const std::string& path, double* _width, double* _height)
{
	std::string info = run_command("pdfinfo '" + path + "' 2>/dev/null");
	size_t at = info.find("Page size:");
	return at != std::string::npos && sscanf(info.c_str() + at,
		"Page size: %lf x %lf", _width, _height) == 2;
}


std::vector<std::string>
pdf_fonts(const std::string& path)
{
	std::istringstream table(run_command("pdffonts '" + path
		+ "' 2>&1"));
	std::vector<std::string> fonts;
	std::string line;
	// Two heading lines come first.
	for (int i = 0; std::getline(table, line); i++) {
		if (i >= 2 && !line.empty())
			fonts.push_back(line);
	}
	return fonts;
}


// #pragma mark - PrivateCups


PrivateCups::PrivateCups()
	:
	fServer("CUPS_SERVER", (fRoot.Path() + "/cups.sock").c_str()),
	fPid(-1),
	fStarted(false)
{
	_WriteConfiguration();
	std::string root = fRoot.Path();
	std::string cupsd = root + "/etc/cupsd.conf";
	std::string files = root + "/etc/cups-files.conf";
	const char* argv[] = { "/usr/sbin/cupsd", "-f", "-c", cupsd.c_str(),
		"-s", files.c_str(), NULL };
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	std::string output = root + "/log/cupsd.out";
	posix_spawn_file_actions_addopen(&actions, 1, output.c_str(),
		O_WRONLY | O_CREAT | O_TRUNC, 0644);
	posix_spawn_file_actions_adddup2(&actions, 1, 2);
	int result = posix_spawn(&fPid, argv[0], &actions, NULL,
		(char* const*)argv, environ);
	posix_spawn_file_actions_destroy(&actions);
	if (result != 0) {
		ADD_FAILURE() << "cannot start cupsd: " << strerror(result);
		fPid = -1;
		return;
	}
	fStarted = _WaitUntilAnswering();
	if (!fStarted)
		ADD_FAILURE() << "the private cupsd does not answer:\n" << Log();
}


PrivateCups::~PrivateCups()
{
	if (fPid <= 0)
		return;
	kill(fPid, SIGTERM);
	int status;
	waitpid(fPid, &status, 0);
}


std::string
PrivateCups::OutputFolder() const
{
	return fRoot.Path() + "/out";
}


std::vector<std::string>
PrivateCups::WaitForJobs(size_t count)
{
	std::vector<std::string> jobs;
	// Generous: the machine may be busy; a passing test waits far less.
	for (int tries = 0; tries < 600; tries++) {
		jobs.clear();
		if (DIR* folder = opendir(OutputFolder().c_str())) {
			while (struct dirent* entry = readdir(folder)) {
				std::string name = entry->d_name;
				if (name.size() > 4
					&& name.compare(name.size() - 4, 4, ".pdf") == 0) {
					jobs.push_back(OutputFolder() + "/" + name);
				}
			}
			closedir(folder);
		}
		if (jobs.size() >= count)
			break;
		usleep(50000);
	}
	std::sort(jobs.begin(), jobs.end());
	return jobs;
}


std::string
PrivateCups::Log() const
{
	std::ifstream in(fRoot.Path() + "/log/error_log");
	std::stringstream text;
	text << in.rdbuf();
	return text.str();
}


void
PrivateCups::_WriteConfiguration()
{
	std::string root = fRoot.Path();
	for (const char* folder : { "/etc", "/etc/ppd", "/spool", "/spool/tmp",
			"/cache", "/state", "/log", "/out", "/bin", "/bin/backend" }) {
		mkdir((root + folder).c_str(), 0755);
	}
	// The scheduler runs the system's own helpers; only the backend is
	// the test's.
	symlink("/usr/lib/cups/daemon", (root + "/bin/daemon").c_str());
	symlink("/usr/lib/cups/filter", (root + "/bin/filter").c_str());
	symlink("/usr/lib/cups/notifier", (root + "/bin/notifier").c_str());
	// Run as the scheduler's own user, so that it may write the folder.
	write_text(root + "/bin/backend/orvanetest", kBackend, 0700);
	chmod((root + "/out").c_str(), 0777);

	write_text(root + "/etc/cupsd.conf",
		"LogLevel info\n"
		"Listen " + root + "/cups.sock\n"
		"Browsing No\n"
		"WebInterface No\n"
		"DefaultAuthType None\n"
		"<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
		"<Policy default>\n  <Limit All>\n    Order deny,allow\n"
		"  </Limit>\n</Policy>\n", 0644);
	write_text(root + "/etc/cups-files.conf",
		"ServerRoot " + root + "/etc\n"
		"ServerBin " + root + "/bin\n"
		"RequestRoot " + root + "/spool\n"
		"CacheDir " + root + "/cache\n"
		"StateDir " + root + "/state\n"
		"TempDir " + root + "/spool/tmp\n"
		"ErrorLog " + root + "/log/error_log\n"
		"AccessLog " + root + "/log/access_log\n"
		"PageLog " + root + "/log/page_log\n"
		"FileDevice Yes\n", 0644);
	write_text(root + "/etc/ppd/" + kQueue + ".ppd", kPpd, 0644);
	write_text(root + "/etc/ppd/" + kRefusingQueue + ".ppd", kPpd, 0644);
	write_text(root + "/etc/printers.conf",
		std::string("<DefaultPrinter ") + kQueue + ">\n"
		"Info Orvane test queue\n"
		"DeviceURI orvanetest:" + root + "/out\n"
		"State Idle\nAccepting Yes\nShared No\n"
		"</DefaultPrinter>\n"
		"<Printer " + kRefusingQueue + ">\n"
		"Info Orvane closed queue\n"
		"DeviceURI orvanetest:" + root + "/out\n"
		"State Idle\nAccepting No\nShared No\n"
		"</Printer>\n", 0600);
}


bool
PrivateCups::_WaitUntilAnswering()
{
	std::string socketPath = fRoot.Path() + "/cups.sock";
	for (int tries = 0; tries < 400; tries++) {
		int status;
		if (waitpid(fPid, &status, WNOHANG) == fPid) {
			fPid = -1;
			return false;
		}
		int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
		struct sockaddr_un address = {};
		address.sun_family = AF_UNIX;
		strncpy(address.sun_path, socketPath.c_str(),
			sizeof(address.sun_path) - 1);
		bool answering = connect(fd, (struct sockaddr*)&address,
			sizeof(address)) == 0;
		close(fd);
		if (answering)
			return true;
		usleep(50000);
	}
	return false;
}
