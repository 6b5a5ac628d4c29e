#pragma once
// The main window "Compiler": the script field, the "Compile Script" button and the menu bar.
// It owns the one map object, LoadedMap, for its whole life, and the compiler's working state.
// Every command runs to its end here: an error is shown in one message box and never leaves
// the window, so the script the user typed survives any failure. The title names the loaded
// map ("Compiler - level.map"); the script field takes either language and highlights it.

#include <functional>
#include <memory>

#include <QMainWindow>
#include <QSize>

#include "FileChooser.h"
#include "MessageBox.h"
#include "common/Diagnostic.h"
#include "map/HaloPcMap.h"
#include "scriptdata/ScriptCompilier.h"

class QPlainTextEdit;
class QPushButton;

namespace xsc {

class AnchoredPane;
class MenuBar1;
class ScriptHighlighter;
struct CheckedForCompile;

class Window1 : public QMainWindow {
    Q_OBJECT

public:
    // The content area below the menu bar, as designed; the controls are placed in it.
    static constexpr QSize kContentSize{323, 382};
    static constexpr QSize kMinimumContentSize{130, 200};
    static constexpr QSize kMaximumContentSize{32000, 32000};

    // The dialogs the window uses; the toolkit's own when left empty.
    struct Services {
        std::unique_ptr<FileChooser> chooser;
        std::unique_ptr<MessageBox> messages;
    };

    explicit Window1(Services services = {});
    ~Window1() override;

    HaloPcMap LoadedMap;
    QPlainTextEdit* ScriptFld = nullptr;
    QPushButton* BtnCompileScript = nullptr;

    // The menu bar, whose items are members: Menus()->FileLoadmap, Menus()->EditCopy, ...
    MenuBar1* Menus() const { return menuBar_; }

    // The compile command: check ScriptFld (errors refuse the compile, warnings ask whether to go
    // on), build it into LoadedMap, then "done!".
    void BtnCompileScript_Action();
    // File > Load map: ask for a map and load it into LoadedMap. Shows nothing when it works.
    void FileLoadmap_Action();

    // File > Decompile map: the loaded map's scripts, in the source language, replace the script
    // field's text (an undoable edit), to be changed and compiled back with "Compile Script".
    void FileDecompilemap_Action();

    // The script field's highlighting.
    ScriptHighlighter* Highlighter() const { return highlighter_; }
    // About: show the About window.
    void aboutMenu_Action();

private:
    void Layout();
    void CreateControls();
    void AddMenuHandlers();
    void ConnectEditCommands();

    // Runs one command; an error it throws is shown as `describe` words it, and goes no further.
    // Returns whether it ran to its end.
    bool RunCommand(const std::function<void()>& command,
                    const std::function<QString(const QString& reason)>& describe);
    // What the check found, shown: false when the compile is not to go on (errors, or warnings
    // the user did not compile anyway).
    bool AcceptCheck(const CheckedForCompile& checked);
    // The title and the highlighting's build follow the loaded map.
    void FollowLoadedMap();
    // Puts the script field's text cursor on a script position (line and column from 1, the
    // column counting characters) and returns whether it was one.
    bool MoveCursorTo(std::int64_t line, std::int64_t column);
    // The cursor on the first of `diagnostics` that has a position.
    void MoveCursorToFirst(const std::vector<Diagnostic>& diagnostics);

    ScriptCompilier compiler_;
    Services services_;
    MenuBar1* menuBar_ = nullptr;
    AnchoredPane* content_ = nullptr;
    ScriptHighlighter* highlighter_ = nullptr;
};

}  // namespace xsc
