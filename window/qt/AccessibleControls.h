// The window's controls as assistive technology sees them through Qt: each named from the
// layout, and its changes announced.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "window/Accessibility.h"

namespace ui::qt {

// Gives `widget` the name the layout gives `spec`, where it is not simply the text it shows, and
// makes the caption label that names it its buddy.
void NameControl(const FormLayout& layout, const ControlSpec& spec, QWidget* widget,
                 QWidget* captionLabel);

// After the control's text changed: a value control describes itself as "Caption: value"; an
// announced control tells assistive technology that its name (its text) changed.
void AnnounceText(const FormLayout& layout, const ControlSpec& spec, QWidget* widget,
                  const std::string& text);

// After the progress fill's width changed: its description and value become the percentage,
// announced when `pacing` allows. `describedPercent` is the percentage the description holds:
// it is set again only when that changes.
void AnnounceProgress(const FormLayout& layout, const ControlSpec& spec, QWidget* widget,
                      double widthTwips, AnnouncementPacing& pacing,
                      std::optional<int>& describedPercent);

}  // namespace ui::qt
