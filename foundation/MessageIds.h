#pragma once
// Every id of the data channel and of the broadcasts, in one table shared by
// all subsystems. Ids are compared as full 32-bit values.

#include <cstdint>

// Commands and settings sent through the data channel (0xFF000001 to
// 0xFF00003C), and the menu choice.
enum eCmdId : uint32_t {
    eCmdMenuChoice = 0xFF000000,
    eCmdInitBackbone = 0xFF000001,
    eCmdNewProject = 0xFF000002,
    eCmdSaveProject = 0xFF000003,
    eCmdLoadProject = 0xFF000004,
    eCmdGetProjectInfo = 0xFF000005,
    eCmdExportImage = 0xFF000006,
    eCmdClearCanvas = 0xFF000007,
    eCmdUndo = 0xFF000008,
    eCmdRedo = 0xFF000009,
    eCmdPrint = 0xFF00000A,
    eCmdPageSetup = 0xFF00000B,
    eCmdMailInit = 0xFF00000C,
    eCmdSendByMail = 0xFF00000D,
    eCmdPassOn = 0xFF00000E,
    eCmdMarkModified = 0xFF00000F,
    eCmdModified = 0xFF000010,
    eCmdStrokePoint = 0xFF000011,
    eCmdStrokeStart = 0xFF000012,
    eCmdAutoClean = 0xFF000013,
    eCmdCleanBrush = 0xFF000014,
    eCmdGetColour = 0xFF000015,
    eCmdToolSize = 0xFF000016,
    eCmdSizeLowLimit = 0xFF000017,
    eCmdSizeHighLimit = 0xFF000018,
    eCmdCanvasPress = 0xFF000019,
    eCmdTogglePanels = 0xFF00001A,
    eCmdHidePanels = 0xFF00001B,
    eCmdShowPanels = 0xFF00001C,
    eCmdShowAbout = 0xFF00001D,
    eCmdSavePrompt = 0xFF00001E,
    eCmdSaveAndGo = 0xFF00001F,
    eCmdDiscardAndGo = 0xFF000020,
    eCmdCancelPrompt = 0xFF000021,
    eCmdShowHelp = 0xFF000022,
    eCmdCanvasTexture = 0xFF000023,
    eCmdCanvasSetting = 0xFF000024,
    eCmdPlaySound = 0xFF000025,
    eCmdMailAvailable = 0xFF000026,
    eCmdZoomOut = 0xFF000027, // one display-scale step down
    eCmdZoomIn = 0xFF000028,  // one display-scale step up
    eCmdPressureWeight = 0xFF000029,
    eCmdSizeDown = 0xFF00002A,
    eCmdSizeUp = 0xFF00002B,
    eCmdSelectTool = 0xFF00002C,
    eCmdNoTool = 0xFF00002D,
    eCmdStrokeEnd = 0xFF00002E,
    eCmdGetToolType = 0xFF00002F,
    eCmdSetupCanvasWidget = 0xFF000030,
    eCmdRedrawCanvas = 0xFF000031,
    eCmdLoadTracing = 0xFF000032,
    eCmdTracingImage = 0xFF000033,
    eCmdTracingMode = 0xFF000034,
    eCmdTracingSetting2 = 0xFF000035,
    eCmdGetTracing = 0xFF000036,
    eCmdClearTracing = 0xFF000037,
    eCmdTracingSetting3 = 0xFF000038,
    eCmdToolLinearSize = 0xFF000039,
    eCmdToolStyle = 0xFF00003A,
    eCmdDisplayScale = 0xFF00003B,
    eCmdImportImage = 0xFF00003C,
};

// Record ids of project-file blocks and preference records (0xFF003002 to
// 0xFF003023); the per-tool sizes and canvas dragging also travel as
// data-channel ids.
enum eRecId : uint32_t {
    eRecProject = 0xFF003002,
    eRecColour = 0xFF003003,
    eRecToolType = 0xFF003004,
    eRecToolSize = 0xFF003005,
    eRecStrokeNum = 0xFF003006,
    eRecCanvasSetting = 0xFF003007,
    eRecLight1 = 0xFF003008,
    eRecLight2 = 0xFF003009,
    eRecLight3 = 0xFF00300A,
    eRecLayer0 = 0xFF00300B,
    eRecLayer1 = 0xFF00300C,
    eRecLayer2 = 0xFF00300D,
    eRecLayer3 = 0xFF00300E,
    eRecTracingMode = 0xFF00300F,
    eRecTracingSetting2 = 0xFF003010,
    eRecTracingImage = 0xFF003011,
    eRecTracingSetting3 = 0xFF003012,
    eRecSoundOn = 0xFF003013,
    // The per-tool linear sizes address the backbone's tool array by
    // position (0, 1, 5, 2, 4, 3, 6), named after the tool at that position
    // in the start-up creation order.
    eRecLinearSizeOil = 0xFF003014,     // position 0
    eRecLinearSizePencils = 0xFF003015, // position 1
    eRecLinearSizeKnife = 0xFF003016,   // position 5
    eRecLinearSizeChalk = 0xFF003017,   // position 2
    eRecLinearSizeEraser = 0xFF003018,  // position 4
    eRecLinearSizeCrayon = 0xFF003019,  // position 3
    eRecLinearSizePens = 0xFF00301A,    // position 6
    eRecColour2 = 0xFF00301B,
    eRecAutoClean = 0xFF00301C,
    eRecPanelFlag1 = 0xFF00301D,
    eRecPanelFlag2 = 0xFF00301E,
    eRecPressureWeight = 0xFF00301F,
    eRecPickerType = 0xFF003020,
    eRecWindowFlag1 = 0xFF003021,
    eRecWindowFlag2 = 0xFF003022,
    eRecDragCanvas = 0xFF003023,
};

// Broadcast messages and the paint colour.
enum eMsgId : uint32_t {
    eMsgFocusGained = 0xF0000000,
    eMsgFocusLost = 0xF0000001,
    eMsgEditConfirm = 0xF0000003,
    eMsgEditCancel = 0xF0000004,
    eMsgButtonDownL = 0xF0000005,
    eMsgButtonDownM = 0xF0000006,
    eMsgButtonDownR = 0xF0000007,
    eMsgTableRows = 0xF0100001,
    eMsgTableColumns = 0xF0100002,
    eMsgTableScroll = 0xF0100003,
    eMsgTableClick = 0xF0100005,
    eMsgTableClickData = 0xF0100006,
    eMsgPaintColour = 0xF1000002, // the current paint colour as a CPixel
    eMsgOpenDocument = 0xF1000304,
};
