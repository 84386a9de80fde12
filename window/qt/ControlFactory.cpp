#include "window/qt/ControlFactory.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "window/Accessibility.h"
#include "window/chart/FoldMemory.h"
#include "window/qt/ChartPanel.h"
#include "window/qt/Chooser.h"
#include "window/qt/ColorMapping.h"

namespace ui::qt {

namespace {

// Etched separators need two pixel rows: the shadow and the light.
constexpr int kLineThicknessPixels = 2;

void SetRole(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(role, color);  // every colour group: active, inactive and disabled
    widget->setPalette(palette);
}

// Keeps the enabled look in the disabled state: labels inside a disabled frame, and text fields
// that only display values, must stay as legible as enabled ones.
void KeepEnabledLook(QWidget* widget, std::initializer_list<QPalette::ColorRole> roles) {
    for (QPalette::ColorRole role : roles) {
        SetRole(widget, role, widget->palette().color(QPalette::Active, role));
    }
}

// An ampersand is shown as it is; only a button's access key is marked.
QString LiteralCaption(const std::string& text) {
    return QString::fromStdString(MnemonicCaption(text, 0));
}

QPalette::ColorRole BackgroundRole(ControlKind kind) {
    switch (kind) {
        case ControlKind::TextField:
            return QPalette::Base;
        case ControlKind::Button:
        case ControlKind::Chooser:
            return QPalette::Button;
        default:
            return QPalette::Window;
    }
}

QPalette::ColorRole ForegroundRole(ControlKind kind) {
    switch (kind) {
        case ControlKind::TextField:
            return QPalette::Text;
        case ControlKind::Button:
        case ControlKind::Chooser:
            return QPalette::ButtonText;
        default:
            return QPalette::WindowText;
    }
}

// A value label greys when disabled (its value is stale); any other label keeps its look inside
// a disabled frame.
QWidget* CreateLabel(const ControlSpec& spec, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    if (spec.selectable) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    } else {
        KeepEnabledLook(label, {QPalette::WindowText, QPalette::Window});
    }
    return label;
}

// Read-only rather than disabled: the value keeps full contrast and can be selected and copied.
QWidget* CreateTextField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    return field;
}

// Return presses the focused button, as on the classic forms; Qt does so by itself only in dialogs.
// A disabled button's caption tells what is going on (the progress of an update): it stays dark
// enough to read, #595959 on the button face (6:1), while still lighter than an enabled one.
QWidget* CreateButton(QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(true);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x59, 0x59, 0x59));
    button->setPalette(palette);
    return button;
}

QWidget* CreateLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// A picture box without a colour of its own is the classic empty box, button face inside a
// sunken edge (the progress track); one with a colour is a plain fill (the progress bar).
QWidget* CreatePictureBox(const ControlSpec& spec, QWidget* parent) {
    auto* box = new QFrame(parent);
    box->setAutoFillBackground(true);
    if (!spec.backColor) {
        box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        box->setLineWidth(1);
        SetRole(box, QPalette::Window, ToQColor(kSystemButtonFace, box->palette()));
    }
    return box;
}

QWidget* CreateKindWidget(const ControlSpec& spec, QWidget* parent, const std::string& windowName) {
    switch (spec.kind) {
        case ControlKind::Label:
            return CreateLabel(spec, parent);
        case ControlKind::TextField:
            return CreateTextField(parent);
        case ControlKind::Frame:
            return new QGroupBox(parent);
        case ControlKind::Button:
            return CreateButton(parent);
        case ControlKind::Line:
            return CreateLine(parent);
        case ControlKind::PictureBox:
            return CreatePictureBox(spec, parent);
        case ControlKind::Chooser:
            return CreateChooser(parent);
        case ControlKind::Chart:
            return new ChartPanel(spec, FoldMemoryPath(windowName + "-" + spec.name), parent);
        case ControlKind::Timer:
            break;
    }
    return nullptr;
}

}  // namespace

QFont ToQFont(const Font& font) {
    QFont qfont(QString::fromStdString(font.face));
    qfont.setPointSizeF(font.points);
    qfont.setBold(font.bold);
    return qfont;
}

QRect ControlGeometry(const ControlSpec& spec, double widthTwips, double logicalDpi) {
    const int width = TwipsToPixels(std::max(widthTwips, 0.0), logicalDpi);
    const int height = spec.kind == ControlKind::Line ? kLineThicknessPixels
                                                      : TwipsToPixels(spec.height, logicalDpi);
    return QRect(TwipsToPixels(spec.left, logicalDpi), TwipsToPixels(spec.top, logicalDpi), width,
                 height);
}

QWidget* CreateControlWidget(const ControlSpec& spec, QWidget* parent, double logicalDpi,
                             const std::string& windowName) {
    QWidget* widget = CreateKindWidget(spec, parent, windowName);
    if (widget == nullptr)
        return nullptr;
    widget->setObjectName(QString::fromStdString(spec.name));
    widget->setFont(ToQFont(spec.font));
    widget->setGeometry(ControlGeometry(spec, spec.width, logicalDpi));
    if (spec.foreColor) {
        SetRole(widget, ForegroundRole(spec.kind), ToQColor(*spec.foreColor, widget->palette()));
    }
    if (spec.backColor)
        ApplyBackColor(widget, spec.kind, *spec.backColor);
    if (spec.kind == ControlKind::Label && spec.selectable) {
        // Whatever its colour when live, a stale value greys as disabled text does.
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Disabled, QPalette::WindowText,
                         QApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
        widget->setPalette(palette);
    }
    ApplyText(widget, spec, spec.caption);
    widget->setEnabled(spec.enabled);
    widget->setVisible(spec.visible);
    return widget;
}

void ApplyText(QWidget* widget, const ControlSpec& spec, const std::string& text) {
    switch (spec.kind) {
        case ControlKind::Label:
            static_cast<QLabel*>(widget)->setText(QString::fromStdString(text));
            break;
        case ControlKind::TextField:
            static_cast<QLineEdit*>(widget)->setText(QString::fromStdString(text));
            // A value longer than the field shows its beginning, not its end.
            static_cast<QLineEdit*>(widget)->setCursorPosition(0);
            break;
        case ControlKind::Frame:
            static_cast<QGroupBox*>(widget)->setTitle(LiteralCaption(text));
            break;
        case ControlKind::Button:
            // Only the button's own caption marks its access key: a status shown on it
            // ("Update complete") has no letter underlined.
            static_cast<QPushButton*>(widget)->setText(QString::fromStdString(
                MnemonicCaption(text, text == spec.caption ? spec.accessKey : '\0')));
            break;
        case ControlKind::Chooser:
            // The caption says what to choose, and shows while nothing is chosen.
            static_cast<QComboBox*>(widget)->setPlaceholderText(QString::fromStdString(text));
            break;
        case ControlKind::Line:
        case ControlKind::PictureBox:
        case ControlKind::Chart:
        case ControlKind::Timer:
            break;
    }
}

void ApplyBackColor(QWidget* widget, ControlKind kind, ColorRef color) {
    if (kind == ControlKind::Line || kind == ControlKind::Timer)
        return;
    SetRole(widget, BackgroundRole(kind), ToQColor(color, widget->palette()));
    if (kind != ControlKind::TextField && kind != ControlKind::Button &&
        kind != ControlKind::Chooser) {
        widget->setAutoFillBackground(true);
    }
}

}  // namespace ui::qt
