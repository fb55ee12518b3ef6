#pragma once
// Identifiers of the windows' controls, the only place they are named. The main window's
// controls are those of resources/controls.tsv; each widget carries its identifier as its
// object name.

#include <array>

namespace quorvex {

// The main window.
enum ControlId : int {
    kIdExit = 2,
    kIdBsFrame = 101,
    kIdPlFrame = 102,
    kIdHelpPanel = 103,  // the help text over the figure area, hidden at start
    kIdPeriod = 1000,
    kIdDecimalsEdit = 1001,
    kIdOutput = 1003,
    kIdVersion = 1004,
    kIdCentreNone = 1005,
    kIdCentreNonePicture = 1006,
    kIdCentreUpperPicture = 1007,
    kIdCentreLowerPicture = 1008,
    kIdBatch = 1011,
    kIdCentreUpper = 1013,
    kIdCentreLower = 1014,
    kIdDecimalsSpin = 1015,
    kIdKindBs = 1016,
    kIdKindPl = 1017,
    kIdTargetJpeg = 1018,
    kIdGeneralHelp = 1019,
    kIdFigureSize = 1020,
    kIdPasteNames = 1021,
    kIdPasteAmounts = 1022,
    kIdClearNames = 1023,
    kIdClearAmounts = 1024,
    kIdTargetBmp = 1025,
    kIdTargetGif = 1026,
    kIdTargetPng = 1027,
    kIdTargetTiff = 1028,
    kIdTargetPdf = 1029,
    kIdTargetClipboard = 1030,
    kIdSeparator = 1031,
    kIdDefaultColours = 1032,
    kIdDrawName = 1033,
    kIdDrawRitu = 1034,
    kIdFontSizeSpin = 1035,
    kIdLineWidthSpin = 1036,
    kIdMarginSpin = 1037,
    kIdRatioRight = 1038,
    kIdRatioBelow = 1039,
    kIdBatchHelp = 1040,
    kIdProgress = 1041,
    kIdRandomColours = 1042,
    kIdSaveColours = 1043,
    kIdLoadColours = 1044,
    kIdSample = 1045,
    kIdSeparatorNone = 1047,
    kIdSeparatorKanji = 1048,
    kIdSeparatorComma = 1049,
    kIdConsistencyLine = 1050,  // the warning line for figures that do not add up
    kIdImportFiling = 1051,     // 読込(EDINET)...
    kIdProportional = 1052,     // 比例縮尺
    kIdComparisonSheet = 1053,  // 比較図...
    kIdIndicators = 1054,       // 指標... (the indicator window)
    // One control per item i: base + i.
    kIdNameBase = 3000,
    kIdAmountBase = 3100,
    kIdAmountLabelBase = 3200,
    kIdRatioLabelBase = 3300,
    kIdColourBase = 3400,
};

// The seven output targets' radios in OutSaki order.
inline constexpr std::array<int, 7> kTargetRadios = {
    kIdTargetJpeg, kIdTargetBmp, kIdTargetGif,       kIdTargetPng,
    kIdTargetTiff, kIdTargetPdf, kIdTargetClipboard,
};

// The indicator window.
enum IndicatorWindowId : int {
    kIdIndicatorTable = 1,
    kIdIndicatorCopy = 2,
    kIdIndicatorHelp = 3,
    kIdIndicatorHelpText = 4,
    kIdIndicatorBreakEven = 5,  // 損益分岐点
    kIdIndicatorBatch = 6,      // 一括作成時に指標も出力
};

// The version window.
enum VersionWindowId : int {
    kIdVersionClose = 1,
    kIdVersionList = 1001,
};

}  // namespace quorvex
