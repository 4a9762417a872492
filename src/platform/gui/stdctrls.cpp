#include "platform/gui/stdctrls.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QKeySequence>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QValidator>
#include <algorithm>
#include <functional>
#include <unordered_map>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/qt_bridge.h"
#include "platform/runtime/codepage.h"

using namespace velorim_gui;

namespace {
void SetBaseColor(QWidget* w, TColor color) {
    if (!w) return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, ToQColor(color));
    w->setPalette(pal);
}

void SetWindowColor(QWidget* w, TColor color) {
    if (!w) return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, ToQColor(color));
    pal.setColor(QPalette::Button, ToQColor(color));
    w->setPalette(pal);
}

// The size of one line of a label's text. Labels are measured again on every
// change of caption, font or parent, and forms hold hundreds of them: a text
// already measured in the same font is not shaped again.
QSize LineSize(const TFont& font, const std::string& text) {
    static std::unordered_map<std::string, QSize> sizes;
    std::string key = FontKey(font);
    key += text;
    if (auto it = sizes.find(key); it != sizes.end()) return it->second;
    if (sizes.size() > 4096) sizes.clear();
    const QSize size = QFontMetrics(ToQFont(font)).size(0, ToQ(text));
    sizes.emplace(std::move(key), size);
    return size;
}

std::string ApplyCase(const std::string& s, TEditCharCase c) {
    if (c == TEditCharCase::ecNormal) return s;
    QString q = ToQ(s);
    return FromQ(c == TEditCharCase::ecUpperCase ? q.toUpper() : q.toLower());
}
}  // namespace

// ---------------------------------------------------------------------- label

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner, NoPaintWidget{}) {
    WantWidget();
    SetBounds(0, 0, 32, 13);
    Refresh();
}

void TLabel::CreateWidget() {
    auto* label = new QLabel();
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetWidget(label);
    ShowLabel();
    if (ColorShown()) ColorChanged();
}

void TLabel::ShowLabel() {
    auto* label = qobject_cast<QLabel*>(MadeWidget());
    const std::string shown = showAccel_ ? StripAccel(text_) : text_;
    if (label) {
        label->setText(ToQ(shown));
        Qt::Alignment a = alignment_ == taRightJustify ? Qt::AlignRight
                          : alignment_ == taCenter     ? Qt::AlignHCenter
                                                       : Qt::AlignLeft;
        a |= layout_ == TTextLayout::tlCenter   ? Qt::AlignVCenter
             : layout_ == TTextLayout::tlBottom ? Qt::AlignBottom
                                                : Qt::AlignTop;
        label->setAlignment(a);
        label->setWordWrap(wordWrap_);
        label->setAutoFillBackground(!transparent_);
    }
}

void TLabel::Refresh() {
    ShowLabel();
    const std::string shown = showAccel_ ? StripAccel(text_) : text_;
    if (autoSize_) {
        if (wordWrap_) {
            QFontMetrics fm(ToQFont(font_));
            QRect r = fm.boundingRect(QRect(0, 0, std::max(1, Width()), 100000), Qt::TextWordWrap, ToQ(shown));
            SetBounds(Left(), Top(), Width(), std::max(fm.height(), r.height()));
        } else {
            const QSize sz = LineSize(font_, shown.empty() ? std::string(" ") : shown);
            SetBounds(Left(), Top(), shown.empty() ? Width() : sz.width(), sz.height());
        }
    }
}

void TLabel::SetAlignment(TAlignment a) {
    alignment_ = a;
    Refresh();
}
void TLabel::SetAutoSize(bool value) {
    autoSize_ = value;
    Refresh();
}
void TLabel::SetWordWrap(bool value) {
    wordWrap_ = value;
    Refresh();
}
void TLabel::SetTransparent(bool value) {
    transparent_ = value;
    Refresh();
}
void TLabel::SetLayout(TTextLayout layout) {
    layout_ = layout;
    Refresh();
}
void TLabel::SetShowAccelChar(bool value) {
    showAccel_ = value;
    Refresh();
}
void TLabel::TextChanged() { Refresh(); }

bool TLabel::DialogChar(char key) {
    if (!showAccel_ || !FocusControl || !IsAccel(key, text_) || !FocusControl->CanFocus()) return false;
    FocusControl->SetFocus();
    return true;
}
void TLabel::FontChanged() {
    TControl::FontChanged();
    Refresh();
}
void TLabel::ColorChanged() { SetWindowColor(MadeWidget(), color_); }

// -------------------------------------------------------------------- buttons

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

namespace {
// The caption with its accelerator underlined; the accelerator itself goes
// through the form (DialogChar), so Qt's own shortcut for it is dropped.
void ShowCaption(QAbstractButton* button, const std::string& caption) {
    button->setText(ToQ(caption));
    button->setShortcut(QKeySequence());
}
}  // namespace

bool TButtonControl::DialogChar(char key) {
    if (!IsAccel(key, Caption()) || !CanFocus()) return false;
    AccelAction();
    return true;
}

void TButtonControl::UserClick() {
    if (!Enabled()) return;
    TForm* form = ParentForm();
    if (form && CanFocus() && form->ActiveControl() != this) {
        form->SetActiveControl(this);
        if (form->ActiveControl() != this) return;
    }
    ClickAction();
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateWidget() {
    auto* button = new QPushButton();
    button->setAutoDefault(false);
    SetWidget(button);
    ShowCaption(button, text_);
    if (default_) button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, SignalContext(), [this] {
        Guard(this, [this] {
            if (FocusRefused) {
                FocusRefused = false;
                return;
            }
            Click();
        });
    });
}

void TButton::Click() {
    if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
    TControl::Click();
}

void TButton::SetDefault(bool value) {
    default_ = value;
    if (auto* b = qobject_cast<QPushButton*>(MadeWidget())) b->setDefault(value);
}

void TButton::TextChanged() {
    if (auto* b = qobject_cast<QPushButton*>(MadeWidget())) ShowCaption(b, text_);
}

// ---------------------------------------------------------------------- edits

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    color_ = clWindow;
    parentColor_ = false;
    ShowColor();
    SetBounds(0, 0, 121, 21);
}

namespace {

// What an edit takes in: one line of the program's Windows-1252 text. A
// pasted line break or tab becomes a blank (it would split a line of the
// state file), letters composed from a base and an accent are joined, as
// the text copied from some documents has them, and a letter outside
// Windows-1252 ("L" with a stroke) refuses the typing or the paste instead
// of becoming "?" in the case and the report.
class TCp1252Validator : public QValidator {
public:
    TCp1252Validator(const TCustomEdit& edit, QObject* parent) : QValidator(parent), edit_(edit) {}
    State validate(QString& input, int& pos) const override {
        QString text = input.normalized(QString::NormalizationForm_C);
        if (!edit_.TakesLineBreaks())
            for (QChar& c : text)
                if (c == u'\n' || c == u'\r' || c == u'\t') c = u' ';
        std::string ignored;
        if (!TryUtf16ToCp1252(text.toStdU16String(), ignored)) {
            QApplication::beep();
            return Invalid;
        }
        // The widget takes one character more than the limit, so that a
        // longer paste shows here instead of being cut without a word.
        if (edit_.MaxLength() == 0 && text.size() > TCustomEdit::kMaxEditLength &&
            !edit_.ShowingText()) {
            QApplication::beep();
            return Invalid;
        }
        if (text != input) {
            pos = std::min<int>(pos - int(input.size() - text.size()), int(text.size()));
            pos = std::max(pos, 0);
            input = text;
        }
        return Acceptable;
    }

private:
    const TCustomEdit& edit_;
};

}  // namespace

void TCustomEdit::CreateWidget() {
    auto* edit = new QLineEdit();
    SetWidget(edit);
    edit->setValidator(new TCp1252Validator(*this, edit));
    edit->setMaxLength(maxLength_ > 0 ? maxLength_ : kMaxEditLength + 1);
    if (readOnly_) edit->setReadOnly(true);
    if (passwordChar_) edit->setEchoMode(QLineEdit::Password);
    if (alignmentSet_) ShowAlignment(textAlignment_);
    if (rightMargin_ >= 0) edit->setTextMargins(leftMargin_, 0, rightMargin_, 0);
    if (!glueText_) {
        ShowText();
    } else {
        const bool selected = glueSelected_;
        ShowWidgetText(*glueText_);
        if (selected) ApplySelection();
    }
    if (ColorShown()) ColorChanged();
    QObject::connect(edit, &QLineEdit::textEdited, SignalContext(), [this](const QString& s) {
        Guard(this, [&] { WidgetEdited(FromQ(s)); });
    });
    QObject::connect(edit, &QLineEdit::cursorPositionChanged, SignalContext(), [this, edit](int, int pos) {
        if (showing_) return;
        if (edit->hasSelectedText()) SetSelectionFromWidget(edit->selectionStart(), static_cast<int>(edit->selectedText().size()));
        else SetSelectionFromWidget(pos, 0);
    });
    QObject::connect(edit, &QLineEdit::selectionChanged, SignalContext(), [this, edit] {
        if (showing_) return;
        if (edit->hasSelectedText()) SetSelectionFromWidget(edit->selectionStart(), static_cast<int>(edit->selectedText().size()));
        else SetSelectionFromWidget(edit->cursorPosition(), 0);
    });
}

void TCustomEdit::SetText(const std::string& text) {
    const std::string t = ApplyCase(text, charCase_);
    if (t == text_) return;
    text_ = t;
    selStart_ = 0;
    selLength_ = 0;
    Modified = false;
    ShowText();
    Change();
}

void TCustomEdit::ShowText() {
    glueText_.reset();
    auto* edit = qobject_cast<QLineEdit*>(MadeWidget());
    if (!edit) return;
    showing_ = true;
    {
        QSignalBlocker block(edit);
        edit->setText(ToQ(DisplayText()));
    }
    showing_ = false;
    ApplySelection();
}

void TCustomEdit::ApplySelection() {
    if (glueText_) glueSelected_ = true;
    auto* edit = qobject_cast<QLineEdit*>(MadeWidget());
    if (!edit) return;
    showing_ = true;
    QSignalBlocker block(edit);
    const int len = static_cast<int>(edit->text().size());
    const int s = std::clamp(selStart_, 0, len);
    const int l = std::clamp(selLength_, 0, len - s);
    if (l > 0) edit->setSelection(s, l);
    else {
        edit->deselect();
        edit->setCursorPosition(s);
    }
    showing_ = false;
}

void TCustomEdit::SetSelectionFromWidget(int start, int length) {
    selStart_ = start;
    selLength_ = length;
}

void TCustomEdit::WidgetEdited(const std::string& text) {
    const std::string t = ApplyCase(text, charCase_);
    text_ = t;
    if (t != text) ShowText();
    Modified = true;
    Change();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
    if (AutoSelect) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::SetMaxLength(int value) {
    maxLength_ = std::max(0, value);
    if (auto* edit = qobject_cast<QLineEdit*>(MadeWidget()))
        edit->setMaxLength(maxLength_ > 0 ? maxLength_ : kMaxEditLength + 1);
}

void TCustomEdit::SetReadOnly(bool value) {
    readOnly_ = value;
    if (auto* edit = qobject_cast<QLineEdit*>(MadeWidget())) edit->setReadOnly(value);
}

void TCustomEdit::SetPasswordChar(char c) {
    passwordChar_ = c;
    if (auto* edit = qobject_cast<QLineEdit*>(MadeWidget())) edit->setEchoMode(c ? QLineEdit::Password : QLineEdit::Normal);
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
    charCase_ = value;
    SetText(text_);
}

int TCustomEdit::SelStart() const { return selStart_; }

void TCustomEdit::SetSelStart(int value) {
    selStart_ = std::clamp(value, 0, static_cast<int>(DisplayText().size()));
    selLength_ = 0;
    ApplySelection();
}

int TCustomEdit::SelLength() const { return selLength_; }

void TCustomEdit::SetSelLength(int value) {
    selLength_ = std::clamp(value, 0, static_cast<int>(DisplayText().size()) - selStart_);
    ApplySelection();
}

std::string TCustomEdit::SelText() const {
    const std::string shown = DisplayText();
    if (selStart_ >= static_cast<int>(shown.size())) return "";
    return shown.substr(selStart_, selLength_);
}

void TCustomEdit::SetSelText(const std::string& value) {
    const int s = std::clamp(selStart_, 0, static_cast<int>(text_.size()));
    const int l = std::clamp(selLength_, 0, static_cast<int>(text_.size()) - s);
    std::string t = text_.substr(0, s) + value + text_.substr(s + l);
    SetText(t);
    selStart_ = s + static_cast<int>(value.size());
    selLength_ = 0;
    ApplySelection();
}

void TCustomEdit::SelectAll() {
    selStart_ = 0;
    selLength_ = static_cast<int>(DisplayText().size());
    ApplySelection();
}

void TCustomEdit::FontChanged() { TControl::FontChanged(); }
void TCustomEdit::ColorChanged() { SetBaseColor(MadeWidget(), color_); }

void TCustomEdit::ShowAlignment(TAlignment alignment) {
    alignmentSet_ = true;
    textAlignment_ = alignment;
    const Qt::Alignment a = alignment == taRightJustify ? Qt::AlignRight
                            : alignment == taCenter     ? Qt::AlignHCenter
                                                        : Qt::AlignLeft;
    if (auto* edit = qobject_cast<QLineEdit*>(MadeWidget())) edit->setAlignment(a | Qt::AlignVCenter);
}

void TCustomEdit::ShowTextMargins(int left, int right) {
    leftMargin_ = std::max(0, left);
    rightMargin_ = std::max(0, right);
    if (auto* edit = qobject_cast<QLineEdit*>(MadeWidget())) edit->setTextMargins(leftMargin_, 0, rightMargin_, 0);
}

void TCustomEdit::ShowWidgetText(const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(MadeWidget())) {
        QSignalBlocker block(edit);
        showing_ = true;
        edit->setText(ToQ(text));
        showing_ = false;
    }
    glueText_ = text;
    glueSelected_ = false;
}

// --------------------------------------------------------------- masked edit

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomMaskEdit::SetEditMask(const std::string& mask) {
    const std::string old = Text();
    editMask_ = mask;
    engine_.SetMask(mask);
    if (engine_.IsMasked()) {
        engine_.SetText(old);
        text_ = engine_.Text();
    } else {
        text_ = old;
    }
    selStart_ = selLength_ = 0;
    ShowText();
}

std::string TCustomMaskEdit::Text() const { return engine_.IsMasked() ? engine_.Text() : text_; }

void TCustomMaskEdit::SetText(const std::string& text) {
    if (!engine_.IsMasked()) {
        TCustomEdit::SetText(text);
        return;
    }
    const std::string before = engine_.Text();
    engine_.SetText(text);
    text_ = engine_.Text();
    selStart_ = selLength_ = 0;
    Modified = false;
    ShowText();
    if (text_ != before) Change();
}

std::string TCustomMaskEdit::EditText() const { return engine_.IsMasked() ? engine_.EditText() : text_; }

void TCustomMaskEdit::SetEditText(const std::string& text) {
    if (!engine_.IsMasked()) {
        TCustomEdit::SetText(text);
        return;
    }
    engine_.SetEditText(text);
    EngineChanged();
}

std::string TCustomMaskEdit::DisplayText() const { return EditText(); }

void TCustomMaskEdit::EngineChanged() {
    const std::string t = engine_.Text();
    const bool changed = t != text_;
    text_ = t;
    ShowText();
    if (changed) {
        Modified = true;
        Change();
    }
}

void TCustomMaskEdit::WidgetEdited(const std::string& text) {
    if (!engine_.IsMasked()) {
        TCustomEdit::WidgetEdited(text);
        return;
    }
    engine_.SetEditText(text);
    EngineChanged();
}

void TCustomMaskEdit::ValidateEdit() {
    // An untouched or emptied mask holds no value yet: what to do without one
    // is the form's to say.
    if (!engine_.IsMasked() || engine_.IsBlank()) return;
    const int missing = engine_.FirstMissing();
    if (missing < 0) return;
    selStart_ = missing;
    selLength_ = 0;
    ApplySelection();
    engine_.Validate();
}

void TCustomMaskEdit::DoExit() {
    if (engine_.IsMasked()) ValidateEdit();
    TCustomEdit::DoExit();
}

void TCustomMaskEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomEdit::MouseUp(button, shift, x, y);
    // Typing overwrites from the caret: one left where the mouse landed in
    // the blanks would scatter a date over them ("3/1 /1020").
    const int blank = engine_.FirstBlank();
    if (button == TMouseButton::mbLeft && !(shift & ssShift) && selLength_ == 0 && blank >= 0 && selStart_ > blank) {
        selStart_ = blank;
        ApplySelection();
    }
}

void TCustomMaskEdit::DefaultKeyInput(WORD key, TShiftState shift, char ch) {
    if (!engine_.IsMasked()) {
        TCustomEdit::DefaultKeyInput(key, shift, ch);
        return;
    }
    const int len = engine_.Length();
    int s = std::clamp(selStart_, 0, len);
    int l = std::clamp(selLength_, 0, len - s);
    auto moveCaret = [&](int pos) {
        pos = std::clamp(pos, 0, len);
        if (shift & ssShift) {
            // Extend from the end that does not move.
            int anchor = (pos < s + l && pos <= s) ? s + l : s;
            selStart_ = std::min(anchor, pos);
            selLength_ = std::abs(pos - anchor);
        } else {
            selStart_ = pos;
            selLength_ = 0;
        }
        ApplySelection();
    };
    const bool ctrl = shift & ssCtrl;
    if (ctrl && (key == 'C' || key == VK_INSERT)) {
        if (l > 0) QGuiApplication::clipboard()->setText(ToQ(engine_.EditText().substr(s, l)));
        return;
    }
    if (ctrl && key == 'A') {
        SelectAll();
        return;
    }
    switch (key) {
        case VK_LEFT: moveCaret((l > 0 && !(shift & ssShift)) ? s : s - 1); return;
        case VK_RIGHT: moveCaret((l > 0 && !(shift & ssShift)) ? s + l : s + 1); return;
        case VK_HOME: moveCaret(0); return;
        case VK_END: moveCaret(len); return;
        default: break;
    }
    if (ReadOnly()) return;
    int pos = s;
    if (ctrl && (key == 'V') ) {
        const std::string paste = FromQ(QGuiApplication::clipboard()->text());
        if (l > 0) engine_.ClearRange(s, s + l);
        for (char c : paste)
            if (!engine_.TypeChar(pos, c)) break;
    } else if (ctrl && key == 'X') {
        if (l > 0) {
            QGuiApplication::clipboard()->setText(ToQ(engine_.EditText().substr(s, l)));
            engine_.ClearRange(s, s + l);
        }
    } else if (key == VK_BACK) {
        if (l > 0) engine_.ClearRange(s, s + l);
        else if (!engine_.Backspace(pos)) MessageBeep();
    } else if (key == VK_DELETE) {
        if (l > 0) engine_.ClearRange(s, s + l);
        else if (!engine_.DeleteAt(s)) MessageBeep();
    } else if (static_cast<unsigned char>(ch) >= 32 && !ctrl) {
        if (l > 0) engine_.ClearRange(s, s + l);
        if (!engine_.TypeChar(pos, ch)) MessageBeep();
    } else {
        return;
    }
    selStart_ = pos;
    selLength_ = 0;
    EngineChanged();
    ApplySelection();
}

// ----------------------------------------------------------------------- memo

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    color_ = clWindow;
    parentColor_ = false;
    ShowColor();
    SetBounds(0, 0, 185, 89);
    Lines.OnChange = [this] { LinesChanged(); };
}

void TMemo::CreateWidget() {
    auto* edit = new QPlainTextEdit();
    SetWidget(edit);
    WatchWidget(edit->viewport());
    if (readOnly_) edit->setReadOnly(true);
    if (!wordWrap_) edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    if (scrollBarsSet_) ShowScrollBars();
    if (linesShown_) ShowLines();
    if (ColorShown()) ColorChanged();
    QObject::connect(edit, &QPlainTextEdit::textChanged, SignalContext(), [this, edit] {
        if (updating_) return;
        Guard(this, [&] { WidgetEdited(FromQ(edit->toPlainText())); });
    });
}

std::string TMemo::Text() const {
    std::string s;
    for (int i = 0; i < Lines.Count(); ++i) {
        if (i) s += "\r\n";
        s += Lines[i];
    }
    return s;
}

void TMemo::SetText(const std::string& text) { Lines.SetText(text); }

void TMemo::LinesChanged() {
    if (updating_) return;
    ShowLines();
    Change();
}

void TMemo::ShowLines() {
    linesShown_ = true;
    auto* edit = qobject_cast<QPlainTextEdit*>(MadeWidget());
    if (!edit) return;
    updating_ = true;
    edit->setPlainText(JoinedLines(Lines));
    updating_ = false;
}

void TMemo::WidgetEdited(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else if (c != '\r') {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    Lines.MutableItems() = std::move(lines);
    Modified = true;
    Change();
}

void TMemo::Change() {
    if (OnChange) OnChange(this);
}

int TMemo::GetDlgCode() const {
    int code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (WantReturns) code |= DLGC_WANTALLKEYS;
    if (WantTabs) code |= DLGC_WANTTAB;
    return code;
}

void TMemo::SetReadOnly(bool value) {
    readOnly_ = value;
    if (auto* edit = qobject_cast<QPlainTextEdit*>(MadeWidget())) edit->setReadOnly(value);
}

void TMemo::SetWordWrap(bool value) {
    wordWrap_ = value;
    if (auto* edit = qobject_cast<QPlainTextEdit*>(MadeWidget()))
        edit->setLineWrapMode(value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle value) {
    scrollBars_ = value;
    scrollBarsSet_ = true;
    ShowScrollBars();
}

void TMemo::ShowScrollBars() {
    if (auto* edit = qobject_cast<QPlainTextEdit*>(MadeWidget())) {
        const bool h = scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth;
        const bool v = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
        edit->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        edit->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    }
}

void TMemo::FontChanged() { TControl::FontChanged(); }
void TMemo::ColorChanged() { SetBaseColor(MadeWidget(), color_); }

// -------------------------------------------------------- check/radio buttons

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

TSize TCheckBox::BoxSize() {
    const QStyle* style = QApplication::style();
    return TSize{style->pixelMetric(QStyle::PM_IndicatorWidth), style->pixelMetric(QStyle::PM_IndicatorHeight)};
}

void TCheckBox::CreateWidget() {
    auto* box = new QCheckBox();
    SetWidget(box);
    ShowCaption(box, text_);
    if (stateShown_) ShowState();
    QObject::connect(box, &QCheckBox::clicked, SignalContext(), [this, box] {
        Guard(this, [this, box] {
            if (FocusRefused) {
                FocusRefused = false;
                QSignalBlocker block(box);
                box->setCheckState(state_ == TCheckBoxState::cbChecked   ? Qt::Checked
                                   : state_ == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                                         : Qt::Unchecked);
                return;
            }
            Toggle();
        });
    });
}

void TCheckBox::SetState(TCheckBoxState state) {
    if (state == state_) return;
    state_ = state;
    stateShown_ = true;
    tristateShown_ = AllowGrayed || state == TCheckBoxState::cbGrayed;
    ShowState();
    Click();
}

void TCheckBox::ShowState() {
    if (auto* box = qobject_cast<QCheckBox*>(MadeWidget())) {
        QSignalBlocker block(box);
        box->setTristate(tristateShown_);
        box->setCheckState(state_ == TCheckBoxState::cbChecked   ? Qt::Checked
                           : state_ == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                                 : Qt::Unchecked);
    }
}

void TCheckBox::Toggle() {
    switch (state_) {
        case TCheckBoxState::cbUnchecked:
            SetState(AllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
            break;
        case TCheckBoxState::cbChecked: SetState(TCheckBoxState::cbUnchecked); break;
        case TCheckBoxState::cbGrayed: SetState(TCheckBoxState::cbChecked); break;
    }
}

void TCheckBox::TextChanged() {
    if (auto* box = qobject_cast<QCheckBox*>(MadeWidget())) ShowCaption(box, text_);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateWidget() {
    auto* radio = new QRadioButton();
    radio->setAutoExclusive(false);
    SetWidget(radio);
    ShowCaption(radio, text_);
    radio->setChecked(checked_);
    QObject::connect(radio, &QRadioButton::clicked, SignalContext(), [this, radio] {
        Guard(this, [this, radio] {
            QSignalBlocker block(radio);
            if (FocusRefused) {
                FocusRefused = false;
                radio->setChecked(checked_);
                return;
            }
            radio->setChecked(true);
            SetChecked(true);
        });
    });
}

void TRadioButton::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    if (auto* radio = qobject_cast<QRadioButton*>(MadeWidget())) {
        QSignalBlocker block(radio);
        radio->setChecked(value);
    }
    if (!value) return;
    if (TWinControl* p = Parent(); p && GroupsWithSiblings())
        for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i)); r && r != this && r->GroupsWithSiblings())
                r->SetChecked(false);
    Click();
}

void TRadioButton::TextChanged() {
    if (auto* radio = qobject_cast<QRadioButton*>(MadeWidget())) ShowCaption(radio, text_);
}

// ------------------------------------------------------------------ combo box


TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    color_ = clWindow;
    parentColor_ = false;
    SetBounds(0, 0, 145, 21);
    Items.OnChange = [this] { ItemsChanged(); };
    // Most combo boxes sit on forms or pages that are not shown at start-up.
    editPartPending_ = true;
}

void TComboBox::CreateWidget() {
    auto* combo = new QComboBox();
    combo->setInsertPolicy(QComboBox::NoInsert);
    SetWidget(combo);
    shownItems_.clear();
    ShowState();
    if (ColorShown()) ColorChanged();
    QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), SignalContext(), [this](int index) {
        Guard(this, [&] { SelectAsUser(index); });
    });
    if (editPartPending_)
        OnFirstEvent(combo, [](QEvent* e) { return e->type() == QEvent::Show; }, [this] { MakeEditPart(); });
}

void TComboBox::MakeEditPart() {
    auto* combo = qobject_cast<QComboBox*>(Widget());
    if (!editPartPending_ || !combo) return;
    editPartPending_ = false;
    combo->setEditable(true);
    if (QLineEdit* le = combo->lineEdit()) {
        WatchWidget(le);
        QObject::connect(le, &QLineEdit::textEdited, SignalContext(), [this](const QString& s) {
            Guard(this, [&] {
                text_ = FromQ(s);
                itemIndex_ = Items.IndexOf(text_);
                Change();
            });
        });
    }
    ShowState();
}

void TComboBox::DefaultKeyInput(WORD key, TShiftState shift, char ch) {
    MakeEditPart();
    TWinControl::DefaultKeyInput(key, shift, ch);
}

void TComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    if (auto* combo = qobject_cast<QComboBox*>(MadeWidget())) {
        if (style == TComboBoxStyle::csDropDownList) {
            editPartPending_ = false;
            combo->setEditable(false);
        } else if (!combo->isEditable()) {
            editPartPending_ = true;
            MakeEditPart();
        }
    } else {
        // The edit part comes with the widget's first showing.
        editPartPending_ = style != TComboBoxStyle::csDropDownList;
    }
    if (style_ == TComboBoxStyle::csDropDownList) {
        itemIndex_ = Items.IndexOf(text_);
        if (itemIndex_ < 0) text_.clear();
    }
    ShowState();
}

void TComboBox::ShowState() {
    auto* combo = qobject_cast<QComboBox*>(MadeWidget());
    if (!combo) return;
    updating_ = true;
    QSignalBlocker block(combo);
    const std::vector<std::string>& items = Items.Items();
    size_t same = 0;
    if (combo->count() == static_cast<int>(shownItems_.size()))
        while (same < shownItems_.size() && same < items.size() && shownItems_[same] == items[same]) ++same;
    if (same == shownItems_.size() && same > 0) {
        // Lists are filled one Add at a time: only the new items go in.
        for (size_t i = same; i < items.size(); ++i) combo->addItem(ToQ(items[i]));
    } else if (combo->count() != Items.Count()) {
        combo->clear();
        for (const std::string& s : items) combo->addItem(ToQ(s));
    } else {
        for (int i = 0; i < Items.Count(); ++i)
            if (static_cast<size_t>(i) >= same) combo->setItemText(i, ToQ(Items[i]));
    }
    shownItems_ = items;
    combo->setCurrentIndex(itemIndex_);
    if (combo->isEditable()) combo->setEditText(ToQ(text_));
    updating_ = false;
}

void TComboBox::ItemsChanged() {
    if (sorted_) {
        auto& v = Items.MutableItems();
        std::sort(v.begin(), v.end(), [](const std::string& a, const std::string& b) {
            return QString::compare(ToQ(a), ToQ(b), Qt::CaseInsensitive) < 0;
        });
    }
    if (itemIndex_ >= Items.Count()) itemIndex_ = -1;
    if (style_ == TComboBoxStyle::csDropDownList) text_ = itemIndex_ >= 0 ? Items[itemIndex_] : std::string();
    ShowState();
}

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= Items.Count()) index = -1;
    itemIndex_ = index;
    text_ = index >= 0 ? Items[index] : std::string();
    ShowState();
}

void TComboBox::SetText(const std::string& text) {
    if (style_ == TComboBoxStyle::csDropDownList) {
        int index = -1;
        for (int i = 0; i < Items.Count() && index < 0; ++i)
            if (QString::compare(ToQ(Items[i]), ToQ(text), Qt::CaseInsensitive) == 0) index = i;
        SetItemIndex(index);
        return;
    }
    text_ = text;
    itemIndex_ = Items.IndexOf(text);
    ShowState();
}

void TComboBox::SetSorted(bool value) {
    sorted_ = value;
    if (value) ItemsChanged();
}

bool TComboBox::DroppedDown() const {
    auto* combo = qobject_cast<QComboBox*>(MadeWidget());
    return combo && combo->view() && combo->view()->isVisible();
}

void TComboBox::SetDroppedDown(bool value) {
    auto* combo = qobject_cast<QComboBox*>(MadeWidget());
    if (!combo || !combo->isVisible()) return;
    if (value) combo->showPopup();
    else combo->hidePopup();
}

void TComboBox::Clear() {
    Items.Clear();
    text_.clear();
    itemIndex_ = -1;
    ShowState();
}

void TComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TComboBox::SelectAsUser(int index) {
    if (index < 0 || index >= Items.Count()) return;
    SetItemIndex(index);
    Click();
    if (OnSelect) OnSelect(this);
    else Change();
}

void TComboBox::TypeAsUser(const std::string& text) {
    if (style_ == TComboBoxStyle::csDropDownList) {
        int index = -1;
        for (int i = 0; i < Items.Count() && index < 0; ++i)
            if (QString::compare(ToQ(Items[i]), ToQ(text), Qt::CaseInsensitive) == 0) index = i;
        if (index >= 0) SelectAsUser(index);
        return;
    }
    text_ = text;
    itemIndex_ = Items.IndexOf(text);
    ShowState();
    Change();
}

void TComboBox::FontChanged() { TControl::FontChanged(); }
void TComboBox::ColorChanged() { SetBaseColor(MadeWidget(), color_); }

// ------------------------------------------------------------------- list box

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    color_ = clWindow;
    parentColor_ = false;
    ShowColor();
    SetBounds(0, 0, 121, 97);
    Items.OnChange = [this] { ItemsChanged(); };
}

int TListBox::ScrollBarWidth() { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

void TListBox::CreateWidget() {
    auto* list = new QListWidget();
    SetWidget(list);
    WatchWidget(list->viewport());
    if (multiSelect_) list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ShowState();
    if (ColorShown()) ColorChanged();
    QObject::connect(list, &QListWidget::itemSelectionChanged, SignalContext(), [this, list] {
        if (updating_) return;
        Guard(this, [this, list] {
            itemIndex_ = list->currentRow();
            selected_.assign(Items.Count(), false);
            for (int i = 0; i < list->count() && i < Items.Count(); ++i) selected_[i] = list->item(i)->isSelected();
            Click();
        });
    });
}

void TListBox::ItemsChanged() {
    if (sorted_) {
        auto& v = Items.MutableItems();
        std::sort(v.begin(), v.end(), [](const std::string& a, const std::string& b) {
            return QString::compare(ToQ(a), ToQ(b), Qt::CaseInsensitive) < 0;
        });
    }
    selected_.assign(Items.Count(), false);
    if (itemIndex_ >= Items.Count()) itemIndex_ = -1;
    if (itemIndex_ >= 0) selected_[itemIndex_] = true;
    ShowState();
}

void TListBox::ShowState() {
    auto* list = qobject_cast<QListWidget*>(MadeWidget());
    if (!list) return;
    updating_ = true;
    if (list->count() != Items.Count()) {
        list->clear();
        for (const std::string& s : Items.Items()) list->addItem(ToQ(s));
    } else {
        for (int i = 0; i < Items.Count(); ++i) list->item(i)->setText(ToQ(Items[i]));
    }
    list->setCurrentRow(itemIndex_);
    for (int i = 0; i < list->count() && i < static_cast<int>(selected_.size()); ++i)
        list->item(i)->setSelected(selected_[i]);
    updating_ = false;
}

void TListBox::SetItemIndex(int index) {
    if (index < -1 || index >= Items.Count()) index = -1;
    itemIndex_ = index;
    if (!multiSelect_) selected_.assign(Items.Count(), false);
    if (index >= 0) selected_[index] = true;
    ShowState();
}

void TListBox::SetMultiSelect(bool value) {
    multiSelect_ = value;
    if (auto* list = qobject_cast<QListWidget*>(MadeWidget()))
        list->setSelectionMode(value ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TListBox::Selected(int index) const {
    return index >= 0 && index < static_cast<int>(selected_.size()) && selected_[index];
}

void TListBox::SetSelected(int index, bool value) {
    if (index < 0 || index >= Items.Count()) return;
    if (!multiSelect_ && value) {
        SetItemIndex(index);
        return;
    }
    selected_[index] = value;
    ShowState();
}

int TListBox::SelCount() const {
    return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TListBox::SetSorted(bool value) {
    sorted_ = value;
    if (value) ItemsChanged();
}

std::string TListBox::Text() const { return itemIndex_ >= 0 ? Items[itemIndex_] : std::string(); }

void TListBox::SelectAsUser(int index) {
    if (index < 0 || index >= Items.Count()) return;
    SetItemIndex(index);
    Click();
}

void TListBox::FontChanged() { TControl::FontChanged(); }
void TListBox::ColorChanged() { SetBaseColor(MadeWidget(), color_); }

// ------------------------------------------------------------------ group box

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetBounds(0, 0, 185, 105);
    clickOnRelease_ = true;
}

void TGroupBox::CreateWidget() {
    SetWidget(new QGroupBox());
    TextChanged();
}

void TGroupBox::TextChanged() {
    if (auto* g = qobject_cast<QGroupBox*>(MadeWidget())) g->setTitle(ToQ(text_));
}

void TGroupBox::AdjustClientRect(TRect& rect) const {
    QFontMetrics fm(ToQFont(font_));
    rect.Top += fm.height();
    InflateRect(rect, -2, -2);
}

// ----------------------------------------------------------------- scroll bar

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
    WantWidget();
    SetTabStop(true);
    SetBounds(0, 0, 121, 16);
}

void TScrollBar::CreateWidget() {
    auto* bar = new QScrollBar(kind_ == TScrollBarKind::sbVertical ? Qt::Vertical : Qt::Horizontal);
    SetWidget(bar);
    ShowState();
    QObject::connect(bar, &QAbstractSlider::actionTriggered, SignalContext(), [this, bar](int action) {
        if (updating_) return;
        TScrollCode code;
        int pos = position_;
        switch (action) {
            case QAbstractSlider::SliderSingleStepAdd: code = TScrollCode::scLineDown; pos += SmallChange; break;
            case QAbstractSlider::SliderSingleStepSub: code = TScrollCode::scLineUp; pos -= SmallChange; break;
            case QAbstractSlider::SliderPageStepAdd: code = TScrollCode::scPageDown; pos += LargeChange; break;
            case QAbstractSlider::SliderPageStepSub: code = TScrollCode::scPageUp; pos -= LargeChange; break;
            case QAbstractSlider::SliderToMinimum: code = TScrollCode::scTop; pos = min_; break;
            case QAbstractSlider::SliderToMaximum: code = TScrollCode::scBottom; pos = max_; break;
            case QAbstractSlider::SliderMove: code = TScrollCode::scTrack; pos = bar->sliderPosition(); break;
            default: return;
        }
        Guard(this, [&] { Scroll(code, pos); });
        bar->setSliderPosition(position_);
    });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, SignalContext(), [this, bar] {
        Guard(this, [&] {
            Scroll(TScrollCode::scPosition, bar->sliderPosition());
            Scroll(TScrollCode::scEndScroll, position_);
        });
    });
}

void TScrollBar::SetKind(TScrollBarKind kind) {
    kind_ = kind;
    if (auto* bar = qobject_cast<QScrollBar*>(MadeWidget()))
        bar->setOrientation(kind == TScrollBarKind::sbVertical ? Qt::Vertical : Qt::Horizontal);
}

void TScrollBar::SetPageSize(int v) {
    pageSize_ = std::max(0, v);
    ShowState();
}

void TScrollBar::ShowState() {
    auto* bar = qobject_cast<QScrollBar*>(MadeWidget());
    if (!bar) return;
    updating_ = true;
    QSignalBlocker block(bar);
    bar->setRange(min_, std::max(min_, max_ - std::max(0, pageSize_ - 1)));
    bar->setPageStep(std::max(1, pageSize_ > 0 ? pageSize_ : LargeChange));
    bar->setSingleStep(std::max(1, SmallChange));
    bar->setValue(position_);
    updating_ = false;
}

void TScrollBar::SetParams(int position, int min, int max) {
    if (max < min) max = min;
    min_ = min;
    max_ = max;
    position = std::clamp(position, min_, max_);
    const bool changed = position != position_;
    position_ = position;
    ShowState();
    if (changed && OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode code, int position) {
    int p = position;
    if (OnScroll) OnScroll(this, code, p);
    p = std::clamp(p, min_, max_);
    if (p != position_) {
        position_ = p;
        ShowState();
        if (OnChange) OnChange(this);
    }
}
