#include "ParseCmdView.h"

#include "fw/ByteText.h"

#include "CmdIcons.h"
#include "CmdView.h"
#include "brio/scan.h"
#include "core/StringTable.h"
#include "fw/ChildFrame.h"
#include "fw/CommandIds.h"
#include "fw/MessageBox.h"
#include "model/RegexReplace.h"
#include "model/WendoDoc.h"
#include "plinth/KVRichEditCtrl.h"
#include "ui_Form502.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QTextCursor>

namespace wendo::ui {

namespace {

QString FromUtf8(std::string_view text)
{
    return fw::ShowBytes(text);
}

std::string ToUtf8(const QString& text)
{
    return text.toStdString();
}

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Cut to at most size bytes without splitting a UTF-8 sequence (Latin-1 text cuts anywhere).
std::string CutUtf8(const std::string& text, std::size_t size)
{
    if (text.size() <= size) {
        return text;
    }
    std::size_t end = size;
    const bool utf8 = fw::EncodingOf(text) == fw::TextEncoding::Utf8;
    while (utf8 && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

void Show(QWidget* widget, bool shown)
{
    widget->setVisible(shown);
    widget->setEnabled(shown);
}

bool IsTagType(int type)
{
    return type == CmdType::CHANGE_ANCHOR || type == CmdType::CHANGE_IMG;
}

} // namespace

CParseCmdView::CParseCmdView(CWendoDoc& document, QWidget* parent)
    : cdxCSizingForm(document, kFormId, parent), m_ui(std::make_unique<Ui::Form502>()),
      m_command(std::make_unique<CParseCmd>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("CParseCmdView"));
    RegisterResourceSize();
    m_typeIcon = m_ui->icon_1046;
    m_tagCombo = m_ui->combo_1015;
    m_actionCombo = m_ui->combo_1016;
    m_typeCombo = m_ui->combo_1003;
    m_caseSensitive = m_ui->check_1012;
    m_delimiter1 = m_ui->edit_1004;
    m_delimiter2 = m_ui->edit_1005;
    m_value = m_ui->edit_1002;
    m_ignoreSpace = m_ui->check_1013;
    m_currentDir = m_ui->check_1007;
    m_ignoreCrLf = m_ui->check_1008;
    m_once = m_ui->check_1006;
    m_noVirtual = m_ui->check_1011;
    m_regex = m_ui->check_1048;
    m_exclude = m_ui->edit_1017;
    m_excludeGroup = m_ui->group_1022;
    m_valueGroup = m_ui->group_1024;
    m_delimiterGroup = m_ui->group_1023;
    m_optionsGroup = m_ui->group_options;
    m_browse = m_ui->button_1018;
    m_ok = m_ui->button_1025;
    m_cancel = m_ui->button_1026;
    m_undo = m_ui->button_1027;
    ConnectControls();
    RegisterEditCommands();
}

CParseCmdView::~CParseCmdView()
{
    CWendoDoc& doc = GetWendoDoc();
    for (CParseCmdList& command : doc.Commands) {
        if (command.EditorFrame != nullptr && command.EditorFrame == m_frame) {
            command.EditorFrame = nullptr;
            command.EditPosition = CParseCmdList::kNoEditor;
        }
    }
    m_position = kReleased;
    if (m_counted) {
        --doc.OpenCommandEditors;
    }
}

CWendoDoc& CParseCmdView::GetWendoDoc() const
{
    return *static_cast<CWendoDoc*>(GetDocument());
}

void CParseCmdView::ConnectControls()
{
    connect(m_ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    connect(m_undo, &QPushButton::clicked, this, [this] { OnUndo(); });
    connect(m_browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(m_typeCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            OnTypeChange();
        }
    });
    connect(m_tagCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            OnTagChange();
        }
    });
    connect(m_actionCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling) {
            OnActionChange();
        }
    });
    for (QCheckBox* box :
         {m_once, m_caseSensitive, m_currentDir, m_noVirtual, m_ignoreSpace, m_ignoreCrLf}) {
        connect(box, &QCheckBox::clicked, this, [this] { OnAnyChange(); });
    }
    connect(m_regex, &QCheckBox::clicked, this, [this] {
        ArrangeRegexOptions();
        ShowTypeIcon();
        OnAnyChange();
    });
    connect(m_exclude, &QLineEdit::textChanged, this, [this] {
        if (!m_filling) {
            OnAnyChange();
        }
    });
    for (CKVRichEditCtrl* box : {m_delimiter1, m_delimiter2, m_value}) {
        connect(box, &CKVRichEditCtrl::textEdited, this, [this] {
            if (!m_filling) {
                OnAnyChange();
            }
        });
    }
}

void CParseCmdView::RegisterEditCommands()
{
    const auto idle = [this] { return GetWendoDoc().Started.load() == 0; };
    OnCommandId(
        fw::id::EDIT_UNDO, [this] { OnUndo(); },
        [this, idle](fw::CommandState& state) {
            QWidget* focused = FocusedTextControl();
            bool canUndo = false;
            if (auto* box = qobject_cast<CKVRichEditCtrl*>(focused)) {
                canUndo = box->CanUndo();
            } else if (auto* line = qobject_cast<QLineEdit*>(focused)) {
                canUndo = line->isUndoAvailable();
            }
            state.enabled = idle() && canUndo;
        });
    const auto hasSelection = [this, idle](fw::CommandState& state) {
        QWidget* focused = FocusedTextControl();
        bool selected = false;
        if (auto* box = qobject_cast<CKVRichEditCtrl*>(focused)) {
            selected = box->IsTextSelected();
        } else if (auto* line = qobject_cast<QLineEdit*>(focused)) {
            selected = line->hasSelectedText();
        }
        state.enabled = idle() && selected;
    };
    // 0 cut, 1 copy, 2 paste, in the focused text control.
    const auto act = [this](int what) {
        QWidget* focused = FocusedTextControl();
        if (auto* box = qobject_cast<CKVRichEditCtrl*>(focused)) {
            what == 0 ? box->cut() : what == 1 ? box->copy() : box->paste();
        } else if (auto* line = qobject_cast<QLineEdit*>(focused)) {
            what == 0 ? line->cut() : what == 1 ? line->copy() : line->paste();
        }
    };
    OnCommandId(
        fw::id::EDIT_CUT, [act] { act(0); }, hasSelection);
    OnCommandId(
        fw::id::EDIT_COPY, [act] { act(1); }, hasSelection);
    OnCommandId(
        fw::id::EDIT_PASTE, [act] { act(2); },
        [this, idle](fw::CommandState& state) {
            const QMimeData* held = QApplication::clipboard()->mimeData();
            state.enabled = idle() && FocusedTextControl() != nullptr && held != nullptr &&
                            !held->formats().isEmpty();
        });
}

QWidget* CParseCmdView::FocusedTextControl() const
{
    QWidget* focused = QApplication::focusWidget();
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_delimiter1, m_delimiter2, m_value, m_exclude}) {
        if (focused == control) {
            return control;
        }
    }
    return nullptr;
}

void CParseCmdView::OnInitialUpdate(int stretchPercent)
{
    cdxCSizingForm::OnInitialUpdate(stretchPercent);
    if (!m_counted) {
        m_counted = true;
        m_frame = GetParentFrame();
        ++GetWendoDoc().OpenCommandEditors;
        m_hasFileStat = GetWendoDoc().HasFileStatCommand() != 0;
        LayoutControls();
        InstallEditorActivator(GetWendoDoc());
        for (CKVRichEditCtrl* box : {m_delimiter1, m_delimiter2, m_value}) {
            box->SetChangeNotify(true);
        }
        if (fw::ChildFrame* frame = GetParentFrame()) {
            frame->resize(frame->minimumSizeHint().expandedTo(frame->size()));
        }
    }
    Load(nullptr, kNewCommand, nullptr);
}

void CParseCmdView::LayoutControls()
{
    for (QPushButton* button : {m_ok, m_cancel, m_undo}) {
        AddSzControl(button, cdxSizingControlInfo::mdRepos, cdxSizingControlInfo::mdNone);
    }
    AddSzControl(m_excludeGroup, cdxSizingControlInfo::mdResize, cdxSizingControlInfo::mdRepos);
    AddSzControl(m_exclude, cdxSizingControlInfo::mdResize, cdxSizingControlInfo::mdRepos);
    AddSzControl(m_browse, cdxSizingControlInfo::mdRepos, cdxSizingControlInfo::mdRepos);
    AddSzControlEx(m_delimiterGroup, 0, 100, 0, 50);
    AddSzControlEx(m_delimiter1, 0, 50, 0, 50);
    AddSzControlEx(m_delimiter2, 50, 100, 0, 50);
    AddSzControlEx(m_valueGroup, 0, 100, 50, 100);
    AddSzControlEx(m_value, 0, 100, 50, 100);
}

void CParseCmdView::Load(const CParseCmd* source, int position, CCmdView* listView)
{
    if (source != nullptr) {
        m_command = std::make_unique<CParseCmd>();
        m_command->Assign(*source);
        m_position = position;
        m_listView = listView;
    }
    const CParseCmd& command = *m_command;
    m_filling = true;
    m_once->setChecked((command.Flags & CmdFlag::ONCE) != 0);
    m_ignoreCrLf->setChecked((command.Flags & CmdFlag::NOSKIPCRLF) != 0);
    m_currentDir->setChecked((command.Flags & CmdFlag::CURRENTDIRONLY) != 0);
    m_noVirtual->setChecked((command.Flags & CmdFlag::NOVIRTUAL) != 0);
    m_ignoreSpace->setChecked((command.Flags & CmdFlag::CHARONLY) != 0);
    m_caseSensitive->setChecked((command.Flags & CmdFlag::CASESENS) != 0);
    m_regex->setChecked((command.Flags & CmdFlag::REGEX) != 0);
    m_exclude->setText(FromUtf8(command.Exclude.value_or(std::string())));
    m_type = command.Type;

    FillTypeCombo();
    FillTagCombo();
    m_tagCombo->setCurrentIndex(CParseCmd::GetTagIndex(m_type, command.Flags));
    m_actionCombo->clear();
    for (std::string_view name : CParseCmd::GetSubcommandNames(m_type, command.Flags)) {
        m_actionCombo->addItem(FromUtf8(name));
    }
    m_actionCombo->setCurrentIndex(CParseCmd::GetSubcommandIndex(m_type, command.Flags));

    m_value->WriteStrCtrl(command.Value.value_or(std::string()));
    m_delimiter1->WriteStrCtrl(IsTagType(m_type) ? std::string(command.GetSource())
                                                 : command.Delimiter1.value_or(std::string()));
    m_delimiter2->WriteStrCtrl(command.Delimiter2.value_or(std::string()));

    ArrangeForType(CmdType::UNKNOWN, m_type);
    m_filling = false;
    m_undo->setEnabled(false);
    ShowTypeIcon();
    m_dirty = false;
}

void CParseCmdView::FillTypeCombo()
{
    const bool fileStatOffered = !m_hasFileStat || m_type == CmdType::DISPLAY_FILESTAT;
    m_typeCombo->clear();
    for (int16_t type = 0; type < static_cast<int16_t>(CmdType::COUNT); ++type) {
        if (type == CmdType::DISPLAY_FILESTAT && !fileStatOffered) {
            continue;
        }
        m_typeCombo->addItem(FromUtf8(CParseCmd::GetTypeName(type)));
    }
    m_typeCombo->setCurrentIndex(m_typeCombo->findText(FromUtf8(CParseCmd::GetTypeName(m_type))));
}

void CParseCmdView::FillTagCombo()
{
    m_tagCombo->clear();
    for (std::string_view name : CParseCmd::GetTagNames(m_type)) {
        m_tagCombo->addItem(FromUtf8(name));
    }
}

void CParseCmdView::FillActionCombo(uint32_t tagFlag, const QString& keep)
{
    m_actionCombo->clear();
    for (std::string_view name : CParseCmd::GetSubcommandNames(m_type, tagFlag)) {
        m_actionCombo->addItem(FromUtf8(name));
    }
    m_actionCombo->setCurrentIndex(std::max(0, m_actionCombo->findText(keep)));
}

uint32_t CParseCmdView::TagFlag() const
{
    return CParseCmd::GetTagFlag(m_type, ToUtf8(m_tagCombo->currentText()));
}

uint32_t CParseCmdView::ActionFlag() const
{
    return CParseCmd::GetSubcommandFlag(m_type, TagFlag(), ToUtf8(m_actionCombo->currentText()));
}

void CParseCmdView::SpanDelimiters(bool shared)
{
    // The boxes change their rectangles inside the group as it stands now; their records are
    // updated so that they do not jump and keep following the window.
    const QRect group = m_delimiterGroup->geometry();
    const QRect first = m_delimiter1->geometry();
    const int left = group.x() + 8;
    const int inner = group.width() - 16;
    if (shared) {
        const int half = (inner - 4) / 2;
        m_delimiter1->setGeometry(left, first.y(), half, first.height());
        m_delimiter2->setGeometry(left + half + 4, first.y(), inner - half - 4, first.height());
        UpdateSzControlEx(m_delimiter1, 0, 50, 0, 50);
        UpdateSzControlEx(m_delimiter2, 50, 100, 0, 50);
    } else {
        m_delimiter1->setGeometry(left, first.y(), inner, first.height());
        UpdateSzControlEx(m_delimiter1, 0, 100, 0, 50);
    }
}

void CParseCmdView::ArrangeForType(int16_t /*oldType*/, int16_t newType)
{
    const bool filling = m_filling;
    m_filling = true;
    const std::initializer_list<QWidget*> options = {m_optionsGroup, m_once,      m_caseSensitive,
                                                     m_currentDir,   m_noVirtual, m_ignoreSpace,
                                                     m_ignoreCrLf};
    const std::initializer_list<QWidget*> exclude = {m_excludeGroup, m_exclude, m_browse};
    const std::initializer_list<QWidget*> value = {m_valueGroup, m_value};
    const std::initializer_list<QWidget*> delimiters = {m_delimiterGroup, m_delimiter1,
                                                        m_delimiter2};
    const auto showAll = [](std::initializer_list<QWidget*> group, bool shown) {
        for (QWidget* widget : group) {
            Show(widget, shown);
        }
    };
    switch (newType) {
    case CmdType::FINDREPL_KEEPCONTENT:
        showAll(options, true);
        showAll(value, true);
        showAll(delimiters, true);
        showAll(exclude, false);
        Show(m_currentDir, false);
        Show(m_noVirtual, false);
        m_delimiterGroup->setTitle(QStringLiteral("Search delimiters"));
        m_valueGroup->setTitle(QStringLiteral("Replace by ... $CONTENT ... "));
        m_excludeGroup->setTitle(QStringLiteral("&Exclude files"));
        m_tagCombo->setEnabled(false);
        m_actionCombo->setEnabled(false);
        SpanDelimiters(true);
        m_exclude->clear();
        break;
    case CmdType::FINDREPL:
        showAll(options, true);
        showAll(value, true);
        showAll(delimiters, true);
        showAll(exclude, false);
        Show(m_delimiter2, false);
        Show(m_currentDir, false);
        Show(m_noVirtual, false);
        m_delimiterGroup->setTitle(QStringLiteral("&Search for"));
        m_valueGroup->setTitle(QStringLiteral("&Replace by"));
        m_excludeGroup->setTitle(QStringLiteral("&Exclude files"));
        m_tagCombo->setEnabled(false);
        m_actionCombo->setEnabled(false);
        SpanDelimiters(false);
        m_delimiter2->ClearCtrl();
        m_exclude->clear();
        break;
    case CmdType::CHANGE_ANCHOR:
    case CmdType::CHANGE_IMG:
        showAll(options, true);
        showAll(exclude, true);
        showAll(value, true);
        showAll(delimiters, true);
        Show(m_delimiter2, false);
        Show(m_caseSensitive, false);
        Show(m_ignoreSpace, false);
        Show(m_ignoreCrLf, false);
        m_delimiterGroup->setTitle(QStringLiteral("&Source  ( '*' for all )"));
        m_valueGroup->setTitle(QStringLiteral("&Value"));
        m_excludeGroup->setTitle(QStringLiteral("&Exclude links"));
        m_tagCombo->setEnabled(true);
        SpanDelimiters(false);
        m_delimiter2->ClearCtrl();
        ArrangeTagControls();
        break;
    default:
        // File statistics, rewind and commands of no known type have nothing to edit.
        showAll(options, false);
        showAll(exclude, false);
        showAll(value, false);
        showAll(delimiters, false);
        m_tagCombo->setEnabled(false);
        m_actionCombo->setEnabled(false);
        m_delimiter1->ClearCtrl();
        m_delimiter2->ClearCtrl();
        m_value->ClearCtrl();
        break;
    }
    Show(m_regex, newType == CmdType::FINDREPL);
    ArrangeRegexOptions();
    m_filling = filling;
}

void CParseCmdView::ArrangeRegexOptions()
{
    if (m_type != CmdType::FINDREPL) {
        return;
    }
    const bool regex = m_regex->isChecked();
    for (QCheckBox* box : {m_ignoreSpace, m_ignoreCrLf}) {
        if (regex) {
            box->setChecked(false);
        }
        box->setEnabled(!regex);
    }
}

void CParseCmdView::ArrangeTagControls()
{
    const uint32_t tag = TagFlag();
    if (m_type == CmdType::CHANGE_ANCHOR) {
        if (tag == CmdFlag::ANCHOR_TAG) {
            m_actionCombo->setEnabled(false);
            Show(m_noVirtual, false);
        } else {
            m_actionCombo->setEnabled(true);
            m_noVirtual->setVisible(true);
            m_noVirtual->setEnabled(ActionFlag() == CmdFlag::REPLACE);
        }
    } else if (m_type == CmdType::CHANGE_IMG) {
        if (tag == CmdFlag::SRC_TAG) {
            Show(m_noVirtual, true);
            m_actionCombo->setEnabled(false);
        } else if (tag == CmdFlag::IMG_TAG) {
            m_actionCombo->setEnabled(false);
            Show(m_noVirtual, false);
        } else {
            m_actionCombo->setEnabled(true);
            Show(m_noVirtual, false);
        }
    }
}

void CParseCmdView::ShowTypeIcon()
{
    m_typeIcon->setPixmap(
        CommandIcon(CommandTypeIcon(m_type, m_regex->isChecked())).pixmap(24, 24));
}

void CParseCmdView::OnTypeChange()
{
    const int16_t newType = CParseCmd::FindTypeByName(ToUtf8(m_typeCombo->currentText()));
    if (newType == CmdType::UNKNOWN || newType == m_type) {
        return;
    }
    uint32_t tag = 0;
    uint32_t action = 0;
    CParseCmd::GetDefaultFlags(newType, tag, action);
    const int16_t oldType = m_type;
    m_filling = true;
    m_type = newType;
    FillTagCombo();
    m_tagCombo->setCurrentIndex(CParseCmd::GetTagIndex(newType, tag));
    FillActionCombo(
        tag, FromUtf8(CParseCmd::GetSubcommandName(
                 CParseCmd::GetSubcommandIndex(newType, tag | action), newType, tag | action)));
    m_filling = false;
    ArrangeForType(oldType, newType);
    OnTagChange();
    ShowTypeIcon();
}

void CParseCmdView::OnTagChange()
{
    const bool filling = m_filling;
    m_filling = true;
    FillActionCombo(TagFlag(), m_actionCombo->currentText());
    m_filling = filling;
    ArrangeTagControls();
    OnAnyChange();
}

void CParseCmdView::OnActionChange()
{
    if (m_type == CmdType::CHANGE_ANCHOR) {
        m_noVirtual->setEnabled(ActionFlag() == CmdFlag::REPLACE || TagFlag() == CmdFlag::REPLACE);
    }
    OnAnyChange();
}

void CParseCmdView::OnAnyChange()
{
    m_undo->setEnabled(true);
    m_dirty = true;
}

void CParseCmdView::OnUndo()
{
    Load(nullptr, m_position, nullptr);
}

void CParseCmdView::OnCancel()
{
    CloseEditor();
}

void CParseCmdView::CloseEditor()
{
    if (fw::ChildFrame* frame = GetParentFrame()) {
        frame->close();
    }
}

void CParseCmdView::OnBrowse()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Exclude files"), QDir::homePath(),
        QStringLiteral("Image Files (*.gif, *.jpeg) (*.gif *.jpeg);;"
                       "Html Files (*.html, *.htm) (*.html *.htm);;All files (*.*) (*)"));
    if (!files.isEmpty()) {
        AppendExcludedFiles(files);
    }
}

void CParseCmdView::AppendExcludedFiles(const QStringList& files)
{
    QString text = m_exclude->text();
    while (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\t'))) {
        text.chop(1);
    }
    for (const QString& file : files) {
        if (!text.isEmpty()) {
            text += QLatin1Char(',');
        }
        text += QFileInfo(file).fileName();
    }
    m_exclude->setText(text);
}

int CParseCmdView::GetPosition() const
{
    if (m_position < 0) {
        return m_position;
    }
    return FindEditedCommand(GetWendoDoc(), m_frame);
}

bool CParseCmdView::Validate()
{
    if (m_type < CmdType::FINDREPL_KEEPCONTENT || m_type > CmdType::CHANGE_IMG) {
        return true;
    }
    const bool firstEmpty = Trimmed(m_delimiter1->ReadStrCtrl()).empty();
    const bool secondEmpty = Trimmed(m_delimiter2->ReadStrCtrl()).empty();
    const std::string value = Trimmed(m_value->ReadStrCtrl());
    std::uint32_t message = 0;
    QWidget* focus = nullptr;
    const auto fail = [&](std::uint32_t id, QWidget* control) {
        message = id;
        focus = control;
    };
    switch (m_type) {
    case CmdType::FINDREPL_KEEPCONTENT:
        if (firstEmpty) {
            fail(core::Msg::NEED_DELIMITER, m_delimiter1);
        }
        if (secondEmpty) {
            fail(core::Msg::NEED_SECOND_DELIMITER, m_delimiter2);
        }
        break;
    case CmdType::FINDREPL:
        if (firstEmpty) {
            fail(core::Msg::NEED_DELIMITER, m_delimiter1);
        }
        break;
    default: {
        const uint32_t numeric = CmdFlag::WIDTH_TAG | CmdFlag::HEIGHT_TAG | CmdFlag::VSPACE_TAG |
                                 CmdFlag::HSPACE_TAG | CmdFlag::BORDER_TAG;
        if (value.empty()) {
            fail(core::Msg::NEED_VALUE, m_value);
        } else if ((TagFlag() & numeric) != 0 && KVISStrFormat(value.c_str(), "%d", nullptr) == 0) {
            fail(core::Msg::NEED_NUMBER, m_value);
        }
        if (firstEmpty) {
            fail(core::Msg::NEED_SOURCE, m_delimiter1);
        }
        break;
    }
    }
    if (message == 0) {
        return ValidateRegex();
    }
    fw::MessageBox(message, core::PromptButtons::Ok, core::PromptIcon::None, this);
    focus->setFocus();
    return false;
}

// A pattern or replacement the command could not run with is refused here with the
// compiler's words, and the cursor is put where it points.
bool CParseCmdView::ValidateRegex()
{
    if (m_type != CmdType::FINDREPL || !m_regex->isChecked()) {
        return true;
    }
    const std::string pattern = m_delimiter1->ReadStrCtrl();
    const std::string replacement = m_value->ReadStrCtrl();
    RegexProblem problem;
    if (RegexReplace::Compile(Trimmed(pattern), Trimmed(replacement), m_caseSensitive->isChecked(),
                              false, problem)) {
        return true;
    }
    fw::MessageBox(QStringLiteral("Bad regular expression:\n") +
                       FromUtf8(DescribeRegexProblem(problem)),
                   core::PromptButtons::Ok, core::PromptIcon::None, this);
    CKVRichEditCtrl* box = problem.inReplacement ? m_value : m_delimiter1;
    const std::string& raw = problem.inReplacement ? replacement : pattern;
    const std::size_t leading = std::min(raw.find_first_not_of(" \t\r\n"), raw.size());
    const std::size_t at = std::min(leading + problem.offset, raw.size());
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(
        static_cast<int>(QString::fromUtf8(raw.data(), static_cast<qsizetype>(at)).size()));
    box->setTextCursor(cursor);
    box->setFocus();
    return false;
}

void CParseCmdView::Store()
{
    CParseCmd& command = *m_command;
    uint32_t flags = TagFlag() | ActionFlag();
    const std::pair<QCheckBox*, uint32_t> boxes[] = {
        {m_once, CmdFlag::ONCE},
        {m_ignoreCrLf, CmdFlag::NOSKIPCRLF},
        {m_currentDir, CmdFlag::CURRENTDIRONLY},
        {m_noVirtual, CmdFlag::NOVIRTUAL},
        {m_ignoreSpace, CmdFlag::CHARONLY},
        {m_caseSensitive, CmdFlag::CASESENS},
        {m_regex, CmdFlag::REGEX},
    };
    for (const auto& [box, bit] : boxes) {
        // A box the type hides or greys out is not part of the command, whatever it held.
        if (box->isChecked() && box->isEnabled()) {
            flags |= bit;
        }
    }
    command.Flags = flags;
    const std::string exclude =
        fw::StoreText(m_exclude->text(), command.Exclude.value_or(std::string()));
    command.Exclude = exclude.empty() ? std::nullopt : std::optional<std::string>(exclude);
    command.Type = m_type;
    const bool trim = m_type >= CmdType::FINDREPL_KEEPCONTENT && m_type <= CmdType::CHANGE_IMG;
    const auto text = [trim](const CKVRichEditCtrl* box) {
        return trim ? Trimmed(box->ReadStrCtrl()) : box->ReadStrCtrl();
    };
    command.Value = text(m_value);
    command.Delimiter1 = text(m_delimiter1);
    command.Delimiter2 = text(m_delimiter2);
    if (IsTagType(m_type)) {
        std::string source = *command.Delimiter1;
        source.resize(std::min(source.size(), source.find('\0')));
        command.SetSource(CutUtf8(source, CParseCmd::kSourceSize - 1));
        command.Delimiter1.reset();
        command.Flags |= CmdFlag::SRC;
    } else {
        command.SetSource(std::string_view(""));
    }
    command.BuildText();
}

bool CParseCmdView::OnOK()
{
    CWendoDoc& doc = GetWendoDoc();
    if (doc.Started.load() != 0) {
        fw::MessageBox(core::Msg::DOCUMENT_IN_PROCESS, core::PromptButtons::Ok,
                       core::PromptIcon::Exclamation, this);
        return false;
    }
    if (!Validate()) {
        return false;
    }
    Store();
    // A stored command is found by its editor; should it have gone, the edit is kept as a
    // new command rather than lost or written over another one.
    const int position = m_position >= 0 ? std::max(GetPosition(), kNewCommand) : kNewCommand;
    doc.StoreCommand(position, *m_command, m_listView.data(), 0);
    RenumberEditPositions(doc);
    m_dirty = false;
    CloseEditor();
    return true;
}

} // namespace wendo::ui
