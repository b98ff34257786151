#pragma once
// The main backdrop: the root widget of the one window, loaded from the
// resource file as "Daublin", and the UI module of the data channel. When
// the window is made it starts the backbone and finds the canvas widget and
// the fixed widgets of its tree; it sizes and centres the canvas for each
// new painting and keeps the canvas in view when the window changes size.
// Every UI message arrives at its ProcessData: the few it handles itself,
// then the six panels in turn. Every key no prompt, box or focused widget
// took arrives at its KeyDown: the application's keyboard shortcuts.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/gCArray.h"
#include "foundation/gCString.h"
#include "paint/ToolId.h"
#include "ui/SMKSound.h"
#include "widgets/Backdrop.h"

class CNameBar;
class CBrushPicker;
class CAboutBox;
class CCanvasPicker;
class CCleanBrush;
class CColourPicker;
class CMenuBar;
class CNewFile;
class CTracePicker;
class CWelcomeBox;
class CProjectInfo;
class CSavePrompt;
class CTabletSource;
class CTxWidget;
class gCFile;
class gCStream;

class CSMKBackdrop : public CBackdrop {
    // The menu bar runs the project commands and keeps the sounds flag.
    friend class CMenuBar;

public:
    // The panels in the order they hear every message: menu bar, name bar,
    // colour picker, tracing-paper picker, brush picker, clean-brush panel.
    static constexpr int32_t kPanelCount = 6;

    // The project file type the open and save dialogs offer.
    struct SProjectFileType {
        int32_t m_nTypeID = 0;
        gCString m_Description;
        gCString m_Extension;
        uint32_t m_nMacType = 0;
    };

    CSMKBackdrop();
    ~CSMKBackdrop() override;
    CSMKBackdrop(const CSMKBackdrop&) = delete;
    CSMKBackdrop& operator=(const CSMKBackdrop&) = delete;

    // The UI module's entry: the hub's own ids (the save prompt's cycle,
    // help and sounds answered here alone), then every panel in turn; 0
    // whatever the panels answer.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;
    // An open-document broadcast opens that document; 0 for every message,
    // so the broadcast goes on.
    int32_t Message(uint32_t id, void* data, uintptr_t extra) override;
    // Starts the backbone, finds the canvas (5), the canvas-colour chooser
    // (2300), sets up the panels and the save prompt, makes the boxes and
    // the new-painting panel and the canvas picker (built when shown),
    // loads the interface sounds, hooks the pan controls (2500 with 2502
    // and 2503), fills the project type, reads the preferences file,
    // selects the saved tool, greets a first run (no preferences file yet)
    // with the welcome box and stores the program's entry in the user's
    // settings. 21 when a widget is missing, 23 when a
    // panel, prompt or box cannot be made, a panel's set-up code, or the
    // tool's code.
    error SetupInterface() override;
    // Keeps the canvas point under the view's centre in place, then keeps
    // the canvas covering half the view or wholly inside it.
    error SetSize(int32_t width, int32_t height, int32_t redraw) override;
    using CBackdrop::SetSize;
    // The keyboard shortcuts: project commands, undo and redo, printing,
    // the tools, tracing, zoom, the window's size, help, the panels and
    // quitting. A shortcut sets taken to the backdrop and answers the code
    // of what it ran; any other key is left to the window. A zoom key whose
    // scale cannot be read or set is left to the window too.
    error KeyDown(CWidget*& taken, uint32_t key) override;
    // Sizes the canvas widget to the painting, centres and shows it and
    // hands it to the backbone; 0 (nothing without a canvas widget).
    virtual error SetupCanvasWidget(CProjectInfo* info);
    // The painting a picture of that size becomes: fitted into 5000 x 5000
    // keeping its proportions (halves away from zero), each side then
    // raised to at least 100.
    static gCPoint ImportedSize(int32_t width, int32_t height);
    // Opening, starting anew and importing (SMKBackdropOpen.cpp), for the
    // keys, the File menu and the save prompt's answers. Each asks the save
    // prompt first when the painting is modified (and answers with that
    // request), to run again once the prompt is answered.
    // Opens the document handed over (taking its path once), or else the
    // project the open dialog names; a failure is shown once, with the
    // file's path, and answered with 0.
    virtual error LoadProject();
    // Shows the new-painting panel, which makes the painting; 9 without it.
    virtual error NewProject();
    // Makes a new painting of the BMP, JPEG or PNG picture the open dialog
    // names, named after the file and not modified; a failure is shown
    // once and answered with 0.
    virtual error ImportImage();
    // Shows the canvas picker; its code (a failure goes to the caller to
    // be shown once), 0 without one.
    error ShowCanvasPicker();

    // --- Help, the welcome box, the canvas colour and the pan controls
    // (SMKBackdropHelp.cpp).
    // Opens the manual beside the program with the desktop's handler; when
    // it cannot, one alert with the manual's failure text (its answer
    // would always be 0, so there is none).
    virtual void ShowHelp();
    // Shows the welcome box again; 0.
    error ShowWelcome();
    // Centres the canvas-colour chooser on the anchor, in front and modal
    // with a redraw; 2 without a chooser.
    error ShowCanvasColour(CWidget* anchor);
    // Leaves the modal stack (when the chooser is on top) and hides the
    // chooser with a redraw; 2 without a chooser.
    error HideCanvasColour();
    // 1 when the pointer is on one of the chooser's colours.
    int32_t TargetIsColourPicker() const;
    // The pan controls: shown in front, modal and focused with their
    // buttons unlit; hidden, leaving the modal stack only when they are on
    // top. Nothing without them; 0.
    error ShowPanControls(int32_t redraw);
    error HidePanControls(int32_t redraw);
    static error PanCanvasClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error PanKey(void* user, CWidget* widget, CWidget*& target, uint32_t key);
    static error PanCancelButtonClick(void* user, CWidget* widget, CWidget*& target,
                                      gCPoint& point);
    static error PanButtonHeart(void* user, CWidget* widget);
    CWidget* PanControls() const { return m_pPanControls; }
    CWelcomeBox* WelcomeBox() const { return m_pWelcomeBox.get(); }
    CAboutBox* AboutBox() const { return m_pAboutBox.get(); }
    CNewFile* NewFile() const { return m_pNewFile.get(); }
    CCanvasPicker* CanvasPicker() const { return m_pCanvasPicker.get(); }
    // After a file dialog: the pen's services set up again (nothing
    // without them).
    void RefreshTabletServices();

    // --- The preferences file (SMKBackdropPrefs.cpp).
    // Opens the preferences file for reading in the closed file object,
    // making nothing: 6 without a file object, 23 when there is no folder
    // for it, 2 when there is no readable file, else the opening's code.
    error GetPrefsFile(gCFile* file);
    // Opens the preferences file in the closed file object as a whole new
    // file, making its folders: 6 without a file object, 23 when there is
    // no folder for it, else the opening's code. It is put in place when
    // the file closes.
    error CreatePrefsFile(gCFile* file);
    // Reads the preferences file and applies what it holds: 2 when there is
    // none (a first run), else 0.
    error ReadPersistency();
    // Applies the records from the stream's position to its end: the
    // sounds flag, the tool to select, the tools' sizes, auto-clean and the
    // paint colour through the backbone, the window's size, the bars'
    // places, the pressure weight and the colour picker's type. A failed
    // id read is shown once; what came before it stays applied.
    void ReadPersistencyFrom(gCStream& stream);
    // Writes every setting as a whole new preferences file: 0 (also when no
    // file can be made, which nobody is told), or the first failing value
    // query, write or closing. A failed write leaves the previous file.
    error WritePersistency();
    // The preferences folder for these values of XDG_CONFIG_HOME, HOME and
    // the home folder of the user's account: the first absolute one (with
    // ".config" after either home), then "daublin"; empty without one.
    static std::string PrefsFolderPath(const char* configHome, const char* home,
                                       const char* accountHome);

    int32_t RestoreModified() const { return m_fRestoreModified; }
    void SetRestoreModified(int32_t flag) { m_fRestoreModified = flag; }
    int32_t PromptModified() const { return m_fPromptModified; }
    void SetPromptModified(int32_t flag) { m_fPromptModified = flag; }
    const gCString& DocumentPath() const { return m_DocumentPath; }
    CWidget* CanvasWidget() const { return m_pCanvasWidget; }
    CWidget* CanvasColourWidget() const { return m_pCanvasColourWidget; }
    const SProjectFileType& ProjectFileType() const { return m_ProjectFileType; }
    const CSMKSound& InterfaceSounds() const { return m_Sound; }
    CSavePrompt* SavePrompt() const { return m_pSavePrompt.get(); }
    CNameBar* NameBar() const { return m_pNameBar.get(); }
    CMenuBar* MenuBar() const { return m_pMenuBar.get(); }
    CBrushPicker* BrushPicker() const { return m_pBrushPicker.get(); }
    CColourPicker* ColourPicker() const { return m_pColourPicker.get(); }
    CCleanBrush* CleanBrush() const { return m_pCleanBrush.get(); }
    CTracePicker* TracePicker() const { return m_pTracePicker.get(); }
    // The panels' root widgets in panel order, as set-up appended them.
    const gCArray<CWidget*>& PanelRoots() const { return m_aPanelRoots; }
    // Set-up (and tests) give panel index its root: appended to the roots
    // that hiding all walks, and kept by index for hiding under the pen.
    // An index outside the panels is ignored.
    void AddPanelRoot(int32_t index, CWidget* root);
    // The hint shown while all panels are hidden.
    CTxWidget* HiddenHint() const { return m_pHiddenHint; }
    int32_t PanelsHidden() const { return m_fPanelsHidden; }

    // --- Panels that step aside (SMKBackdropPanels.cpp).
    // A panel's rectangle over the canvas at the stroke's start, in the
    // canvas widget's coordinates, with the panel's index.
    struct SPanelRect {
        int32_t index = 0;
        gCRect rect;
    };
    const gCArray<SPanelRect>& PanelRects() const { return m_aPanelRects; }
    const gCArray<CWidget*>& DragHidden() const { return m_aDragHidden; }
    gCCmdTarget* Panel(int32_t index) const { return m_apPanels[size_t(index)]; }
    // Tests and the panels' own set-up put a panel in its slot; the slot
    // does not own it.
    void SetPanel(int32_t index, gCCmdTarget* panel) { m_apPanels[size_t(index)] = panel; }
    // Hides panel index (0 to 5, read unsigned) for the rest of the
    // stroke (or the dropper's drag); the clean-brush panel (5) only when it shows.
    virtual void HidePanelOnDrag(int32_t index);
    // Shows what the stroke or the dropper hid and redraws, also when it hid nothing.
    virtual void UnhideDragPanels();

    // The tool read from the preferences file (oil paint until there is one).
    int32_t m_nSavedTool = eToolOilPaint;

protected:
    // What the hub calls of the interface's features: hiding panels under
    // the pen, the about box, the save prompt, help and the project
    // commands; the save prompt answers 9 when there is none to show.
    // Panels under the pen: at a stroke's start each panel's rectangle is
    // clipped to the canvas and kept with its index; a pen point on or in
    // a rectangle (edges included) hides that panel until the stroke ends,
    // every panel it lies in, the highest index first. Nothing while all
    // panels are hidden.
    virtual void CheckPanelsOnDrag(const gCPoint& point);
    virtual void CalculatePanelRects();
    // All panels hidden with the hint shown, or all shown with the hint
    // hidden; each does nothing when the panels already are so, and
    // redraws when asked.
    virtual void TogglePanelsHidden(int32_t redraw);
    virtual void HideAllPanels(int32_t redraw);
    virtual void ShowAllPanels(int32_t redraw);
    virtual void ShowAboutBox();
    virtual error ShowSavePrompt(int32_t action);
    // Saving (SMKBackdropSave.cpp): with saveAs 0, a project that has a
    // file is written there when modified (nothing happens when it is not);
    // otherwise, and for any other saveAs, the save dialog offers the
    // project type alone and the backbone writes the file chosen, which
    // the name bar then shows. 0 also when the user cancels; else the
    // error that stopped it, reported by the caller.
    virtual error SaveProject(int32_t saveAs);
    // An open or import ends: when it was abandoned after the prompt's
    // "don't save", the modified flag the prompt found goes back; the
    // restore flag is cleared.
    void EndOpenAfterPrompt(int32_t abandoned);
    // The prompt's action will not run (cancelled, or its save or discard
    // failed): the restore flag is cleared and an open forgets a handed-over
    // path.
    void ForgetPromptCycle(int32_t action);
    // The application's quit, for the save prompt's quit action and the
    // quit keys.
    virtual void QuitApplication();
    // The menu bar's window button shows the main window's size (nothing
    // without a menu bar).
    virtual void UpdateWindowButton(int32_t mode);
    // The main window's size and position (nothing without a main window).
    virtual error ResizeMainWindow(int32_t mode, gCRPoint size, gCRPoint position);
    // The action the save prompt held: 0 quit, 1 open, 2 new painting, 3
    // import; the restore flag cleared first when asked (after a save).
    int32_t RunPendingAction(int32_t action, int32_t clearRestore);

    // The name bar, panel 1: made, set up and its root listed; on a
    // failure it is gone again (23 when it cannot be made, else the code of
    // its set-up).
    error SetupNameBar();
    // Stores the program's entry in the user's settings; when they cannot
    // be kept, makes the preferences file anew.
    void StoreUserSettings();
    // The backbone's tablet services, or null.
    virtual CTabletSource* TabletServices();

    // One record's value applied, and one setting's value for its record.
    void ApplyPrefsRecord(uint32_t id, uint32_t bits);
    error PrefsValue(uint32_t id, uint32_t& bits);
    // The window 1024 x 768 centred (0) or filling the screen with the
    // desktop's panels covered (1), the menu bar's button showing it.
    void RestoreWindow(int32_t maximised);

    // Makes the boxes, the new-painting panel and the canvas picker (23
    // when one cannot be made), and finds and hooks the pan controls (21
    // when the overlay or a button is missing, 23 without memory for a
    // time step).
    error MakeBoxes();
    error SetupPanControls();

    // Sets up the panels by index into their slots, appending each root to
    // m_aPanelRoots; a panel not built yet leaves its slot empty. A panel
    // whose set-up fails is deleted again and its code returned.
    error SetupPanels();
    // Makes the panel, puts it in slot index and sets it up, listing its
    // root; on a failure it is gone again (23 when it cannot be made, else
    // the code of its set-up).
    template <typename T> error SetupPanel(int32_t index, std::unique_ptr<T>& panel);
    // All panels hidden (1) with the hint shown, or shown (0) with the hint
    // hidden; nothing when they already are so.
    void SetAllPanelsHidden(int32_t hidden, int32_t redraw);
    // The hint of the hidden panels (id 3): "Right-click/" before its text,
    // "Enter" read as "Return". 21 without it.
    error SetupHiddenHint();

    std::array<gCCmdTarget*, kPanelCount> m_apPanels{};
    std::unique_ptr<CMenuBar> m_pMenuBar;
    std::unique_ptr<CBrushPicker> m_pBrushPicker;
    std::unique_ptr<CColourPicker> m_pColourPicker;
    std::unique_ptr<CCleanBrush> m_pCleanBrush;
    std::unique_ptr<CTracePicker> m_pTracePicker;
    gCArray<CWidget*> m_aPanelRoots; // not owned: the tree's widgets
    std::array<CWidget*, kPanelCount> m_apPanelRootByIndex{};
    gCArray<SPanelRect> m_aPanelRects;
    gCArray<CWidget*> m_aDragHidden;
    CTxWidget* m_pHiddenHint = nullptr;
    std::unique_ptr<CSavePrompt> m_pSavePrompt;
    // The boxes and the new-painting panel, made at set-up; each builds its
    // tree when shown.
    std::unique_ptr<CAboutBox> m_pAboutBox;
    std::unique_ptr<CWelcomeBox> m_pWelcomeBox;
    std::unique_ptr<CNewFile> m_pNewFile;
    std::unique_ptr<CCanvasPicker> m_pCanvasPicker;
    CWidget* m_pPanControls = nullptr;
    std::unique_ptr<CNameBar> m_pNameBar; // in its panel slot once set up
    CWidget* m_pCanvasWidget = nullptr;
    CWidget* m_pCanvasColourWidget = nullptr;
    SProjectFileType m_ProjectFileType;
    int32_t m_fPanelsHidden = 0;
    int32_t m_fPromptModified = 0;
    int32_t m_fRestoreModified = 0;
    gCString m_DocumentPath;
    // Interface sounds on; the player plays only while it is set.
    int32_t m_fSoundOn = 1;
    CSMKSound m_Sound{m_fSoundOn};
};
