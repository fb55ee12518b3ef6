#pragma once
// The context menu of the two diagrams in the window (right click or the menu key over a
// diagram): save the diagram as an image, as SVG or as a vector PDF, or copy it (the bitmap
// and its SVG). The described output controls are not touched by it.

#include <QPoint>
#include <functional>
#include <optional>

class QMenu;

namespace quorvex {

class CTesselDlg;

enum class DiagramCommand { SaveImage, SaveSvg, SavePdf, Copy, SaveHighResolution };

// The factors "高解像度で保存..." offers: the figure size times 2 or 3, the PNG's dpi so too.
inline constexpr int kHighResolutionFactors[] = {2, 3};

// Makes a right click on either diagram of the window open the menu.
void InstallDiagramMenu(CTesselDlg& window);

// The statement kind (kOutTypeBs, kOutTypePl) of the diagram under a window point.
std::optional<int> DiagramKindAt(const CTesselDlg& window, QPoint pos);

// While set, the hook gets the built menu instead of it being shown (tests trigger its
// actions). nullptr restores.
void SetDiagramMenuHook(std::function<void(QMenu&)> hook);

// Runs a command for the diagram of kind: the save commands ask for the file (the file
// dialog hook of Dialogs.h), add the format's extension when the name has none, ask before
// replacing a file and write at the figure size; Copy puts the bitmap and its SVG on the
// clipboard. False when cancelled or failed (the failure's message shown).
bool RunDiagramCommand(CTesselDlg& window, int kind, DiagramCommand command);

}  // namespace quorvex
