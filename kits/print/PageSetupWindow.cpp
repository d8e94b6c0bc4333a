/*
 * The page setup dialog.
 */
#include "PageSetupWindow.h"

#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <StringView.h>
#include <TextControl.h>

#include "CupsPrinters.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

namespace BPrivate {

namespace {

const float kWidth = 380.0f;
const float kFieldWidth = 150.0f;
const char* const kMarginNames[4] = { "margin left", "margin top",
	"margin right", "margin bottom" };
const char* const kMarginLabels[4] = { "Left:", "Top:", "Right:",
	"Bottom:" };


// The sizes offered: the printer's own, then the usual ones it lacks.
std::vector<paper_size>
offered_papers(const PrintSettings& settings)
{
	std::vector<paper_size> papers = printer_paper_sizes(settings.printer);
	auto add = [&papers](const paper_size& size) {
		for (const paper_size& known : papers) {
			if (known.name == size.name)
				return;
		}
		papers.push_back(size);
	};
	for (const paper_size& size : standard_paper_sizes())
		add(size);
	add(settings.paper);
	return papers;
}

}	// namespace


bool
parse_number(const char* text, double limit, double* _value)
{
	if (text == NULL)
		return false;
	char* end;
	double value = strtod(text, &end);
	while (*end == ' ')
		end++;
	if (end == text || *end != '\0' || !isfinite(value) || value < 0
		|| value > limit) {
		return false;
	}
	*_value = value;
	return true;
}


PageSetupWindow::PageSetupWindow(PrintSettings* settings)
	:
	ConfigWindow("Page Setup", kWidth, 4 * kRowHeight + 2 * kMargin + 20,
		"OK"),
	fSettings(settings),
	fPapers(offered_papers(*settings)),
	fPaperField(NULL),
	fOrientationField(NULL)
{
	_AddPaperField(kMargin);
	_AddOrientationField(kMargin + kRowHeight);

	float top = kMargin + 2 * kRowHeight + 4;
	Panel()->AddChild(new BStringView(BRect(kMargin, top, kWidth - kMargin,
		top + 17), "margins", "Margins (mm):"));
	top += 24;
	float half = (kWidth - 2 * kMargin) / 2;
	const float points[4] = { settings->marginLeft, settings->marginTop,
		settings->marginRight, settings->marginBottom };
	// Top and bottom in the first row, left and right in the second.
	const int32 order[4] = { 1, 3, 0, 2 };
	for (int32 i = 0; i < 4; i++) {
		int32 side = order[i];
		float left = kMargin + (i % 2) * half;
		float rowTop = top + (i / 2) * kRowHeight;
		fMargins[side] = _AddMarginField(BRect(left, rowTop,
			left + half - 10, rowTop + 20), kMarginNames[side],
			kMarginLabels[side], points[side]);
	}
	fMargins[1]->MakeFocus(true);
}


bool
PageSetupWindow::Confirm()
{
	double millimetres[4];
	for (int32 i = 0; i < 4; i++) {
		if (!parse_number(fMargins[i]->Text(), 10000, &millimetres[i])) {
			ShowProblem("Margins are millimetres: a number, 0 or more.");
			fMargins[i]->MakeFocus(true);
			return false;
		}
	}

	PrintSettings chosen = *fSettings;
	int32 paper = fPaperField->Menu()->FindMarkedIndex();
	if (paper >= 0 && paper < (int32)fPapers.size())
		chosen.paper = fPapers[paper];
	chosen.orientation = fOrientationField->Menu()->FindMarkedIndex() == 1
		? kLandscape : kPortrait;
	float points[4];
	for (int32 i = 0; i < 4; i++)
		points[i] = (float)(millimetres[i] * kPointsPerMillimetre);
	if (!chosen.MarginsFit(points[0], points[1], points[2], points[3])) {
		ShowProblem("The margins leave no room on this paper.");
		return false;
	}
	chosen.marginLeft = points[0];
	chosen.marginTop = points[1];
	chosen.marginRight = points[2];
	chosen.marginBottom = points[3];
	*fSettings = chosen;
	return true;
}


void
PageSetupWindow::_AddPaperField(float top)
{
	BPopUpMenu* menu = new BPopUpMenu("paper");
	for (const paper_size& paper : fPapers) {
		char label[160];
		snprintf(label, sizeof(label), "%s (%.0f × %.0f mm)",
			paper.name.c_str(), paper.width / kPointsPerMillimetre,
			paper.height / kPointsPerMillimetre);
		BMenuItem* item = new BMenuItem(label, NULL);
		item->SetMarked(paper.name == fSettings->paper.name);
		menu->AddItem(item);
	}
	fPaperField = AddMenuField(top, "paper", "Paper:", menu);
}


void
PageSetupWindow::_AddOrientationField(float top)
{
	BPopUpMenu* menu = new BPopUpMenu("orientation");
	BMenuItem* portrait = new BMenuItem("Portrait", NULL);
	BMenuItem* landscape = new BMenuItem("Landscape", NULL);
	menu->AddItem(portrait);
	menu->AddItem(landscape);
	(fSettings->orientation == kLandscape ? landscape : portrait)
		->SetMarked(true);
	fOrientationField = AddMenuField(top, "orientation", "Orientation:",
		menu, kLabelWidth + kFieldWidth);
}


BTextControl*
PageSetupWindow::_AddMarginField(BRect frame, const char* name,
	const char* label, float points)
{
	char text[32];
	// Tenths of a millimetre are as fine as a margin needs.
	double millimetres = round(points / kPointsPerMillimetre * 10) / 10;
	snprintf(text, sizeof(text), "%g", millimetres);
	BTextControl* control = new BTextControl(frame, name, label, text, NULL);
	control->SetDivider(60);
	Panel()->AddChild(control);
	return control;
}

}	// namespace BPrivate
