#include "window/qt/ChartPanel.h"

#include <QBoxLayout>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHash>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "window/chart/ChartText.h"
#include "window/chart/FoldMemory.h"
#include "window/qt/ChartPlot.h"

namespace ui::qt {

namespace {

QPushButton* ToolButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);  // Return belongs to the window's own buttons
    return button;
}

}  // namespace

// The readout's text changes with every tick. A label asks its parent's layout to be worked out
// anew with each text, which cost a tick more than drawing the chart; in a box of its own, the
// panel is laid out again only when the text needs another height.
class ReadoutBox : public QWidget {
  public:
    explicit ReadoutBox(QWidget* parent) : QWidget(parent), label_(new QLabel(this)) {
        setSizePolicy(label_->sizePolicy());
    }
    QLabel* Label() const { return label_; }
    QSize sizeHint() const override { return label_->sizeHint(); }
    QSize minimumSizeHint() const override { return label_->minimumSizeHint(); }
    bool hasHeightForWidth() const override { return label_->hasHeightForWidth(); }
    int heightForWidth(int width) const override { return label_->heightForWidth(width); }
    // After the label's text changed. Measuring a wrapped label lays its whole text out as a
    // document, which cost a tick more than drawing the chart. The readout's words stay and its
    // numbers change: where every digit is as wide as the others, texts that differ in their
    // digits alone wrap alike, and the heights of the few shapes its numbers take are kept.
    void TextChanged() {
        if (width() != measuredWidth_ || label_->font() != measuredFont_ ||
            heights_.size() > kShapesKept) {
            heights_.clear();
            measuredWidth_ = width();
            measuredFont_ = label_->font();
        }
        const QString shape = WrapShape(label_->text());
        if (shape.isEmpty()) {
            if (label_->heightForWidth(width()) != height())
                updateGeometry();
            return;
        }
        auto known = heights_.find(shape);
        if (known == heights_.end())
            known = heights_.insert(shape, label_->heightForWidth(width()));
        if (known.value() != height())
            updateGeometry();
    }

  protected:
    // The layout remembers the heights of the last widths it measured: a text that changed at
    // one width may need another height at a width it had measured before.
    void resizeEvent(QResizeEvent* /*event*/) override {
        label_->setGeometry(rect());
        TextChanged();
    }

  private:
    // The text with every digit made a nought, when the label's font sets digits equally wide;
    // empty (to be measured) otherwise.
    QString WrapShape(QString text) const {
        const QFontMetrics metrics = label_->fontMetrics();
        const int nought = metrics.horizontalAdvance(QChar(u'0'));
        for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
            if (metrics.horizontalAdvance(QChar(digit)) != nought)
                return {};
        }
        for (QChar& c : text) {
            if (c >= u'1' && c <= u'9')
                c = u'0';
        }
        return text;
    }

    QLabel* label_;
    static constexpr qsizetype kShapesKept = 64;
    QHash<QString, int> heights_;  // of the texts' shapes measured at this width, in this font
    int measuredWidth_ = -1;
    QFont measuredFont_;
};

ChartPanel::ChartPanel(const ControlSpec& spec, std::string foldMemory, QWidget* parent)
    : QWidget(parent),
      data_(spec.chartSeries, spec.chartCapacity),
      foldMemory_(std::move(foldMemory)) {
    plot_ = new ChartPlot(data_, view_, this);
    plot_->setAccessibleName(QString::fromStdString(spec.accessibleName));
    pause_ = ToolButton("&Pause", this);
    span_ = new QComboBox(this);
    span_->addItems({"10 s", "60 s", "10 min"});
    span_->setCurrentIndex(int(view_.SpanIndex()));
    span_->setAccessibleName("Time shown");
    QPushButton* copy = ToolButton("&Copy CSV", this);
    QPushButton* save = ToolButton("Sa&ve PNG…", this);
    fold_ = ToolButton("&Hide chart", this);
    readoutBox_ = new ReadoutBox(this);
    readout_ = readoutBox_->Label();
    readout_->setWordWrap(true);
    readout_->setTextFormat(Qt::PlainText);  // device names and file values, never markup
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* tools = new QHBoxLayout;
    tools->addWidget(pause_);
    tools->addWidget(span_);
    tools->addWidget(copy);
    tools->addWidget(save);
    tools->addStretch();
    tools->addWidget(fold_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addLayout(tools);
    column->addWidget(plot_, 1);
    column->addWidget(readoutBox_);

    // Tab comes to the drawing, which takes the keys; the buttons follow it.
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(plot_);
    QWidget::setTabOrder(plot_, pause_);
    QWidget::setTabOrder(pause_, span_);
    QWidget::setTabOrder(span_, copy);
    QWidget::setTabOrder(copy, save);
    QWidget::setTabOrder(save, fold_);
    foldAway_ = {plot_, readoutBox_, pause_, span_, copy, save};

    plot_->viewChanged = [this] { ShowView(); };
    QObject::connect(pause_, &QPushButton::clicked, this, [this] { plot_->TogglePause(); });
    QObject::connect(span_, &QComboBox::activated, this, [this](int index) {
        view_.ChooseSpan(std::size_t(index));
        plot_->update();
        ShowView();
    });
    QObject::connect(copy, &QPushButton::clicked, this, [this] { CopyCsv(); });
    QObject::connect(save, &QPushButton::clicked, this, [this] { SavePng(); });
    QObject::connect(fold_, &QPushButton::clicked, this, [this] {
        SetFolded(!folded_);
        RememberFolded(foldMemory_, folded_);
    });
    ShowView();
}

void ChartPanel::FoldAsRemembered() {
    SetFolded(RecallFolded(foldMemory_).value_or(false));
}

void ChartPanel::SetFolded(bool folded) {
    if (folded == folded_)
        return;
    folded_ = folded;
    for (QWidget* widget : foldAway_)
        widget->setVisible(!folded);
    fold_->setText(folded ? "S&how chart" : "&Hide chart");
    // Folded, the fold button is all there is.
    const int foldedHeight = fold_->sizeHint().height();
    const int change = folded ? foldedHeight - height() : unfoldedHeight_ - height();
    if (folded)
        unfoldedHeight_ = height();
    resize(width(), height() + change);
    if (heightChanged)
        heightChanged(change);
}

void ChartPanel::Add(const ChartSample& sample) {
    data_.Add(sample);
    plot_->update();
    if (!view_.Paused())
        ShowView();
}

// The words under the drawing say what it shows, for the eye and for assistive technology.
void ChartPanel::ShowView() {
    pause_->setText(view_.Paused() ? "&Resume" : "&Pause");
    const TimeSpan shown = view_.Visible(data_);
    const auto cursor = view_.CursorIndex(data_);
    const std::string at = cursor ? CursorText(data_, *cursor) : "";
    const std::string stats = StatsText(data_, shown);
    const QString text = QString::fromStdString(at.empty() ? stats : at + "\n" + stats);
    // A selectable label lays its whole text out anew on every setText: paused, the words stay.
    if (text == readout_->text())
        return;
    readout_->setText(text);
    readoutBox_->TextChanged();
    plot_->setAccessibleDescription(text);
}

void ChartPanel::CopyCsv() {
    const TimeSpan shown = view_.Visible(data_);
    QGuiApplication::clipboard()->setText(QString::fromStdString(data_.Csv(shown.from, shown.to)));
}

void ChartPanel::SavePng() {
    const QString path =
        QFileDialog::getSaveFileName(this, "Save chart", "chart.png", "PNG image (*.png)");
    if (path.isEmpty())
        return;
    QImageWriter writer(path, "PNG");
    if (writer.write(plot_->Image()))
        return;
    // A chart the user believes saved would be missed only when looked for.
    QMessageBox box(QMessageBox::Warning, "Save chart",
                    "The chart was not saved to " + path + ": " + writer.errorString(),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace ui::qt
