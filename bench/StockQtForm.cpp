#include "bench/StockQtForm.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "bench/MetricReport.h"
#include "bench/StockChart.h"
#include "window/chart/ChartView.h"
#include "window/qt/QtApplication.h"

namespace bench {

namespace {

QWidget* StockWidget(const ui::ControlSpec& spec, QWidget* parent) {
    switch (spec.kind) {
        case ui::ControlKind::Label:
            return new QLabel(parent);
        case ui::ControlKind::TextField: {
            auto* field = new QLineEdit(parent);
            field->setReadOnly(true);  // it displays values
            return field;
        }
        case ui::ControlKind::Frame:
            return new QGroupBox(parent);
        case ui::ControlKind::Button:
            return new QPushButton(parent);
        case ui::ControlKind::Line: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            return line;
        }
        case ui::ControlKind::PictureBox:
            return new QFrame(parent);
        case ui::ControlKind::Chart:
            return new StockChart(spec, ui::ChartView().SpanSeconds(), parent);
        case ui::ControlKind::Chooser:
            return new QComboBox(parent);
        case ui::ControlKind::Timer:
            break;
    }
    return nullptr;
}

}  // namespace

StockQtForm::StockQtForm(const ui::FormLayout& layout)
    : application_(ui::qt::AcquireApplication()), layout_(layout), form_(new QWidget) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi_ = screen->logicalDotsPerInch();
    form_->setWindowTitle(QString::fromStdString(layout.caption));
    form_->setFixedSize(ui::TwipsToPixels(layout.clientWidth, dpi_),
                        ui::TwipsToPixels(layout.clientHeight, dpi_));
    for (const ui::ControlSpec& spec : layout.controls)
        Create(spec);
}

StockQtForm::~StockQtForm() = default;

// Frames first, so that a control lands inside its frame whatever the layout's order.
void StockQtForm::Create(const ui::ControlSpec& spec) {
    if (spec.kind == ui::ControlKind::Timer || widgets_.contains(spec.name))
        return;
    QWidget* parent = form_.get();
    if (const ui::ControlSpec* frame = layout_.Find(spec.container)) {
        Create(*frame);
        parent = widgets_.at(frame->name).widget;
    }
    QWidget* widget = StockWidget(spec, parent);
    QFont font(QString::fromStdString(spec.font.face));
    font.setPointSizeF(spec.font.points);
    font.setBold(spec.font.bold);
    widget->setFont(font);
    widget->setGeometry(
        ui::TwipsToPixels(spec.left, dpi_), ui::TwipsToPixels(spec.top, dpi_),
        ui::TwipsToPixels(spec.width, dpi_),
        spec.kind == ui::ControlKind::Line ? 2 : ui::TwipsToPixels(spec.height, dpi_));
    widget->setVisible(spec.visible);
    widgets_.emplace(spec.name, Widget{spec.kind, widget});
    SetText(spec.name, spec.caption);
}

void StockQtForm::SetText(const std::string& control, const std::string& text) {
    const Widget& w = widgets_.at(control);
    const QString qtext = QString::fromStdString(text);
    switch (w.kind) {
        case ui::ControlKind::Label:
            static_cast<QLabel*>(w.widget)->setText(qtext);
            break;
        case ui::ControlKind::TextField:
            static_cast<QLineEdit*>(w.widget)->setText(qtext);
            break;
        case ui::ControlKind::Frame:
            static_cast<QGroupBox*>(w.widget)->setTitle(qtext);
            break;
        case ui::ControlKind::Button:
            static_cast<QPushButton*>(w.widget)->setText(qtext);
            break;
        case ui::ControlKind::Chooser:
            static_cast<QComboBox*>(w.widget)->setPlaceholderText(qtext);
            break;
        case ui::ControlKind::Line:
        case ui::ControlKind::PictureBox:
        case ui::ControlKind::Chart:
        case ui::ControlKind::Timer:
            break;
    }
}

// Every chart of the form gets the reading: servodiag has one.
void StockQtForm::AddChartSample(const ui::ChartSample& sample) {
    for (const auto& [name, w] : widgets_) {
        if (w.kind == ui::ControlKind::Chart)
            static_cast<StockChart*>(w.widget)->Add(sample);
    }
}

double StockQtForm::CpuPerTick(const std::vector<TickChanges>& changes, int intervalMs, int ticks) {
    if (changes.empty())
        return 0;
    form_->show();
    QEventLoop loop;
    QTimer timer;
    std::vector<double> starts;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        starts.push_back(ThreadCpuMicroseconds());
        if (static_cast<int>(starts.size()) > ticks) {
            loop.exit();
            return;
        }
        const TickChanges& tick = changes[(starts.size() - 1) % changes.size()];
        for (const auto& [control, text] : tick.texts)
            SetText(control, text);
        for (const ui::ChartSample& sample : tick.chartSamples)
            AddChartSample(sample);
    });
    timer.start(intervalMs);
    loop.exec();
    form_->hide();
    std::vector<double> costs;
    for (std::size_t i = 1; i < starts.size(); ++i)
        costs.push_back(starts[i] - starts[i - 1]);
    return Median(costs);
}

}  // namespace bench
