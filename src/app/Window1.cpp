#include "Window1.h"

#include <algorithm>
#include <climits>
#include <new>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "About.h"
#include "AnchoredPane.h"
#include "CommandMessages.h"
#include "CompileCommand.h"
#include "MenuBar1.h"
#include "PathText.h"
#include "ScriptField.h"
#include "ScriptHighlighter.h"
#include "engine/MapEngine.h"
#include "map/HaloMapTypes.h"
#include "map/MapFile.h"
#include "runtime/Error.h"

namespace xsc {
namespace {

// Design positions in the content area. The field fills it down to the strip that holds the
// button; the button sits 20 px from the right edge and 7 px from the bottom edge.
constexpr QRect kScriptFldRect(0, 0, 323, 348);
constexpr QRect kCompileButtonRect(206, 353, 97, 22);
constexpr Qt::Edges kAllEdges = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
constexpr Qt::Edges kRightBottom = Qt::RightEdge | Qt::BottomEdge;

constexpr int kControlPointSize = 10;

// Resizable, with close and minimize buttons but no maximize button.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint;

// The system font at the controls' size, plain.
QFont ControlFont() {
    QFont font = QApplication::font();
    font.setPointSize(kControlPointSize);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

}  // namespace

Window1::Window1(Services services) : services_(std::move(services)) {
    if (!services_.chooser) services_.chooser = std::make_unique<QtFileChooser>(this);
    if (!services_.messages) services_.messages = std::make_unique<QtMessageBox>(this);
    Layout();
    CreateControls();
    AddMenuHandlers();
}

Window1::~Window1() = default;

void Window1::Layout() {
    setObjectName(QStringLiteral("Window1"));
    setWindowTitle(WindowTitleText(std::nullopt));
    setWindowFlags(kWindowFlags);

    menuBar_ = new MenuBar1(this);
    setMenuBar(menuBar_);

    content_ = new AnchoredPane(kContentSize, this);
    content_->setMinimumSize(kMinimumContentSize);
    content_->setMaximumSize(kMaximumContentSize);
    setCentralWidget(content_);

    // The sizes above are the content's; the window adds the menu bar when it holds it.
    const int menuHeight = menuBar_->isNativeMenuBar() ? 0 : menuBar_->sizeHint().height();
    resize(kContentSize.width(), kContentSize.height() + menuHeight);
}

void Window1::CreateControls() {
    ScriptFld = new ScriptField(content_);
    ScriptFld->setObjectName(QStringLiteral("ScriptFld"));
    ScriptFld->setFont(ControlFont());
    ScriptFld->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScriptFld->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = ScriptFld->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    ScriptFld->setPalette(palette);
    content_->Place(ScriptFld, kScriptFldRect, kAllEdges);
    highlighter_ = new ScriptHighlighter(ScriptFld->document());

    BtnCompileScript = new QPushButton(tr("Compile Script"), content_);
    BtnCompileScript->setObjectName(QStringLiteral("BtnCompileScript"));
    BtnCompileScript->setFont(ControlFont());
    BtnCompileScript->setFocusPolicy(Qt::NoFocus);
    BtnCompileScript->setAutoDefault(false);
    content_->Place(BtnCompileScript, kCompileButtonRect, kRightBottom);
    connect(BtnCompileScript, &QPushButton::clicked, this, &Window1::BtnCompileScript_Action);
}

void Window1::AddMenuHandlers() {
    connect(menuBar_->FileLoadmap, &QAction::triggered, this, &Window1::FileLoadmap_Action);
    connect(menuBar_->FileDecompilemap, &QAction::triggered, this, &Window1::FileDecompilemap_Action);
    connect(menuBar_->aboutMenu, &QAction::triggered, this, &Window1::aboutMenu_Action);
    connect(menuBar_->FileQuit, &QAction::triggered, qApp, &QCoreApplication::quit);
    ConnectEditCommands();
}

// The editing commands act on the script field, the window's one editable control. Each item
// is enabled only while its command can do something there.
void Window1::ConnectEditCommands() {
    QAction* undo = menuBar_->EditUndo;
    QAction* paste = menuBar_->EditPaste;
    connect(undo, &QAction::triggered, ScriptFld, &QPlainTextEdit::undo);
    connect(menuBar_->EditCut, &QAction::triggered, ScriptFld, &QPlainTextEdit::cut);
    connect(menuBar_->EditCopy, &QAction::triggered, ScriptFld, &QPlainTextEdit::copy);
    connect(paste, &QAction::triggered, ScriptFld, &QPlainTextEdit::paste);
    connect(menuBar_->EditClear, &QAction::triggered, ScriptFld,
            [this] { ScriptFld->textCursor().removeSelectedText(); });
    connect(menuBar_->EditSelectAll, &QAction::triggered, ScriptFld, &QPlainTextEdit::selectAll);

    undo->setEnabled(false);
    connect(ScriptFld, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    for (QAction* needsSelection : {menuBar_->EditCut, menuBar_->EditCopy, menuBar_->EditClear}) {
        needsSelection->setEnabled(false);
        connect(ScriptFld, &QPlainTextEdit::copyAvailable, needsSelection, &QAction::setEnabled);
    }
    paste->setEnabled(ScriptFld->canPaste());
    connect(QApplication::clipboard(), &QClipboard::dataChanged, paste,
            [this, paste] { paste->setEnabled(ScriptFld->canPaste()); });
}

void Window1::BtnCompileScript_Action() {
    const auto describe = [this](const QString& reason) { return CompileFailedText(LoadedMap.f, reason); };
    std::optional<CheckedForCompile> checked;
    RunCommand([this, &checked] { checked = CheckScriptForCompile(LoadedMap, ScriptFld->toPlainText()); }, describe);
    if (!checked) return;
    if (!checked->recovered.empty()) services_.messages->MsgBox(RecoveryText(*LoadedMap.f, checked->recovered));
    if (!AcceptCheck(*checked)) return;
    if (RunCommand([this, &checked] { CompileCheckedScript(LoadedMap, compiler_, *checked->document); }, describe)) {
        services_.messages->MsgBox(tr("done!"));
    }
}

bool Window1::AcceptCheck(const CheckedForCompile& checked) {
    if (!checked.errors.empty()) {
        MoveCursorToFirst(checked.errors);
        services_.messages->ErrorBox(CompileFailedText(LoadedMap.f, ScriptErrorsText(checked.errors)));
        return false;
    }
    if (checked.warnings.empty() && checked.mapWarnings.empty()) return true;
    MoveCursorToFirst(checked.warnings);
    return services_.messages->Question(CompileWarningsText(*LoadedMap.f, checked.warnings, checked.mapWarnings),
                                        tr("Compile anyway"), tr("Cancel"));
}

void Window1::FileLoadmap_Action() {
    const auto chosen = services_.chooser->GetOpenFolderItem(HaloMapTypes::HaloMap().FilterText());
    const auto loadedBefore = LoadedMap.f;
    QString recovered;
    RunCommand(
        [this, &chosen, &recovered] {
            if (!chosen) return LoadedMap.LoadMap(chosen);  // a cancelled chooser empties f alone
            // Opened once: a compile of this map that a crash interrupted is undone, then the map
            // is read through the same handle.
            MapFile file = MapFile::Open(*chosen, MapFile::Access::Read);
            recovered = RecoveryText(*chosen, file.Found().message);
            LoadedMap.LoadMap(file);
        },
        [&chosen, &loadedBefore](const QString& reason) {
            return LoadFailedText(chosen.value_or(std::filesystem::path()), reason, loadedBefore);
        });
    FollowLoadedMap();
    if (!recovered.isEmpty()) services_.messages->MsgBox(recovered);
}

void Window1::FileDecompilemap_Action() {
    std::string source;
    const bool done = RunCommand([this, &source] { source = DecompileLoadedMap(LoadedMap); },
                                 [this](const QString& reason) { return DecompileFailedText(LoadedMap.f, reason); });
    if (!done) return;
    // Through a cursor, so that Edit > Undo brings the text back that was there.
    QTextCursor cursor(ScriptFld->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(QString::fromStdString(source));
    ScriptFld->moveCursor(QTextCursor::Start);
}

// A map whose build cannot be read or is not known is highlighted as scripts are checked without
// one: for the custom build.
void Window1::FollowLoadedMap() {
    setWindowTitle(WindowTitleText(LoadedMap.f));
    setWindowFilePath(LoadedMap.f ? QStringFromPath(*LoadedMap.f) : QString());
    std::optional<engine::EngineBuild> build;
    if (LoadedMap.f) {
        try {
            build = engine::ReadMapEngine(*LoadedMap.f).build;
        } catch (const Error&) {
        }
    }
    highlighter_->SetBuild(build.value_or(engine::kDefaultBuild));
}

void Window1::aboutMenu_Action() { About::Open(this); }

bool Window1::RunCommand(const std::function<void()>& command,
                         const std::function<QString(const QString& reason)>& describe) {
    try {
        command();
        return true;
    } catch (const Error& error) {
        if (error.subject() == Error::Subject::Script) MoveCursorTo(error.line(), error.column());
        services_.messages->ErrorBox(describe(DescribeError(error)));
    } catch (const std::bad_alloc&) {
        services_.messages->ErrorBox(describe(tr("There is not enough memory for this command.")));
    } catch (const std::exception& error) {
        services_.messages->ErrorBox(describe(QString::fromLocal8Bit(error.what())));
    }
    return false;
}

bool Window1::MoveCursorTo(std::int64_t line, std::int64_t column) {
    if (line <= 0) return false;
    QTextDocument* document = ScriptFld->document();
    QTextBlock block = document->findBlockByNumber(static_cast<int>(std::min<std::int64_t>(line - 1, INT_MAX)));
    if (!block.isValid()) block = document->lastBlock();
    // Columns count characters; the field counts UTF-16 units, two for a character beyond them.
    const QString text = block.text();
    qsizetype offset = 0;
    for (std::int64_t counted = 1; counted < column && offset < text.size(); ++counted) {
        offset += text[offset].isHighSurrogate() && offset + 1 < text.size() ? 2 : 1;
    }
    QTextCursor cursor(document);
    cursor.setPosition(block.position() + static_cast<int>(offset));
    ScriptFld->setTextCursor(cursor);
    ScriptFld->ensureCursorVisible();
    ScriptFld->setFocus();
    return true;
}

void Window1::MoveCursorToFirst(const std::vector<Diagnostic>& diagnostics) {
    for (const Diagnostic& d : diagnostics) {
        if (MoveCursorTo(d.line, d.column)) return;
    }
}

}  // namespace xsc
