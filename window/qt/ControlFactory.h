// One Qt widget per control of a layout: its kind of widget, font, colours, geometry and text.
#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>
#include <string>

#include "window/FormLayout.h"

namespace ui::qt {

QFont ToQFont(const Font& font);

// Creates the widget that realises `spec` (any kind but Timer) as a child of `parent`, placed at
// its layout position (twips relative to `parent`), with the caption, font and colours that
// `spec` gives.
// `windowName` names the window among the programs' (its icon name): a chart remembers whether it
// was folded per window.
QWidget* CreateControlWidget(const ControlSpec& spec, QWidget* parent, double logicalDpi,
                             const std::string& windowName);

// Geometry in pixels of a control whose width may have changed since the layout was written.
QRect ControlGeometry(const ControlSpec& spec, double widthTwips, double logicalDpi);

// A button's caption shows its access key underlined; every other ampersand is shown as it is.
void ApplyText(QWidget* widget, const ControlSpec& spec, const std::string& text);
void ApplyBackColor(QWidget* widget, ControlKind kind, ColorRef color);

}  // namespace ui::qt
