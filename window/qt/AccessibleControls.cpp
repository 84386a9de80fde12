#include "window/qt/AccessibleControls.h"

#include <QAccessible>
#include <QLabel>

namespace ui::qt {

void NameControl(const FormLayout& layout, const ControlSpec& spec, QWidget* widget,
                 QWidget* captionLabel) {
    // A control named by its own text (a button, a titled frame, a label) is left to Qt, which
    // then follows the text as it changes.
    if (spec.labelledBy.empty() && spec.accessibleName.empty())
        return;
    const QString name = QString::fromStdString(AccessibleName(layout, spec));
    widget->setAccessibleName(name);
    if (ShowsValue(spec))
        widget->setAccessibleDescription(name);
    if (auto* label = qobject_cast<QLabel*>(captionLabel))
        label->setBuddy(widget);
}

void AnnounceText(const FormLayout& layout, const ControlSpec& spec, QWidget* widget,
                  const std::string& text) {
    if (ShowsValue(spec)) {
        widget->setAccessibleDescription(
            QString::fromStdString(ValueDescription(AccessibleName(layout, spec), text)));
    }
    if (spec.announced) {
        QAccessibleEvent event(widget, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

// Qt sends assistive technology an event for every description set, the same one or not, and
// the transfer sets a width after every record while the percentage moves every ten or more.
void AnnounceProgress(const FormLayout& layout, const ControlSpec& spec, QWidget* widget,
                      double widthTwips, AnnouncementPacing& pacing,
                      std::optional<int>& describedPercent) {
    if (!spec.announced || !ShowsValue(spec))
        return;
    const int percent = ProgressPercent(spec, widthTwips);
    if (describedPercent != percent) {
        describedPercent = percent;
        widget->setAccessibleDescription(QString::fromStdString(
            ValueDescription(AccessibleName(layout, spec), std::to_string(percent) + "%")));
    }
    if (!pacing.Due(AnnouncementPacing::Clock::now()))
        return;
    QAccessibleValueChangeEvent event(widget, percent);
    QAccessible::updateAccessibility(&event);
}

}  // namespace ui::qt
