// What the Qt window draws again, and what it leaves: the same text or an unmoved progress fill
// must not repaint, and every real change must still show.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QObject>
#include <string>

#include "tests/qt/TestLayout.h"

namespace {

using qttest::Child;
using qttest::CreateTestWindow;

class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

struct TextCase {
    const char* control;
    const char* shownAs;  // the widget's own text after SetText("12.5")
};

class SetTextRepaintTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(SetTextRepaintTest, TheSameTextAgainDoesNotRepaintAndANewTextShows) {
    auto window = CreateTestWindow();
    window->Show();
    QWidget* widget = Child(*window, GetParam().control);
    ASSERT_NE(widget, nullptr);
    window->SetText(GetParam().control, "12.5");
    QCoreApplication::processEvents();
    PaintCounter counter(widget);

    window->SetText(GetParam().control, "12.5");
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(window->Text(GetParam().control), "12.5");

    window->SetText(GetParam().control, "13.0");
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    EXPECT_EQ(window->Text(GetParam().control), "13.0");
    EXPECT_EQ(widget->property(GetParam().shownAs).toString().toStdString(), "13.0");
}

INSTANTIATE_TEST_SUITE_P(Qt, SetTextRepaintTest,
                         ::testing::Values(TextCase{"Degrees", "text"}, TextCase{"USBerr", "text"},
                                           TextCase{"Go", "text"}, TextCase{"Frame1", "title"}),
                         [](const auto& info) { return std::string(info.param.control); });

TEST(QtWindowRepaintTest, AFieldTheUserTypedInTakesTheProgramsTextAgain) {
    auto window = CreateTestWindow();
    window->SetText("USBerr", "7");
    auto* field = Child<QLineEdit>(*window, "USBerr");
    field->setText("typed");
    field->setModified(true);  // as typing leaves it
    window->SetText("USBerr", "7");
    EXPECT_EQ(field->text().toStdString(), "7");
    EXPECT_EQ(window->Text("USBerr"), "7");
}

TEST(QtWindowRepaintTest, AnUnchangedBackColourIsNotAppliedAgainAndANewOneIs) {
    auto window = CreateTestWindow();
    QWidget* field = Child(*window, "USBerr");
    window->SetBackColor("USBerr", ui::Rgb(255, 0, 0));
    const QColor red = field->palette().color(field->backgroundRole());
    window->SetBackColor("USBerr", ui::Rgb(255, 0, 0));
    EXPECT_EQ(field->palette().color(field->backgroundRole()), red);
    window->SetBackColor("USBerr", ui::Rgb(0, 255, 0));
    EXPECT_NE(field->palette().color(field->backgroundRole()), red);
}

// Widths in twips, each followed by a Refresh: the fill repaints only when its pixel width moved.
struct WidthStep {
    double twips;
    bool repaints;
};

TEST(QtWindowRepaintTest, RefreshRepaintsTheFillOnlyWhenItsPixelWidthChanged) {
    auto window = CreateTestWindow();
    window->Show();
    QCoreApplication::processEvents();
    QWidget* fill = Child(*window, "Pic");
    const double twipsPerPixel = 1440.0 / window->LogicalDpi();
    const WidthStep steps[] = {
        {100 * twipsPerPixel, true},     // narrower than the layout's width
        {100.2 * twipsPerPixel, false},  // the same pixel
        {100 * twipsPerPixel, false},    // back within it
        {101 * twipsPerPixel, true},     // one pixel more
        {101 * twipsPerPixel, false},    // unchanged
        {50 * twipsPerPixel, true},      // narrower again
    };
    for (const WidthStep& step : steps) {
        PaintCounter counter(fill);
        window->SetWidth("Pic", step.twips);
        window->Refresh("Pic");
        EXPECT_EQ(counter.paints > 0, step.repaints) << "width " << step.twips;
        EXPECT_EQ(window->Width("Pic"), step.twips);
        QCoreApplication::processEvents();
        fill->removeEventFilter(&counter);
    }
}

// A size change leaves the parent an area to draw again; Refresh draws it with the fill, so the
// fill is not drawn a second time when the events are next processed.
TEST(QtWindowRepaintTest, AFillThatChangedWidthIsDrawnOnceInRefreshAndNotAgainAfter) {
    auto window = CreateTestWindow();
    window->Show();
    QCoreApplication::processEvents();
    QWidget* fill = Child(*window, "Pic");
    const double twipsPerPixel = 1440.0 / window->LogicalDpi();
    for (const double pixels : {100.0, 140.0, 60.0, 61.0}) {
        PaintCounter counter(fill);
        window->SetWidth("Pic", pixels * twipsPerPixel);
        window->Refresh("Pic");
        const int inRefresh = counter.paints;
        QCoreApplication::processEvents();
        EXPECT_EQ(1, inRefresh) << pixels << " px";
        EXPECT_EQ(1, counter.paints) << pixels << " px";
        fill->removeEventFilter(&counter);
    }
}

TEST(QtWindowRepaintTest, RefreshRepaintsAfterTheTextChangedThoughTheWidthDidNot) {
    auto window = CreateTestWindow();
    window->Show();
    QCoreApplication::processEvents();
    QWidget* label = Child(*window, "Degrees");
    window->Refresh("Degrees");
    PaintCounter counter(label);
    window->Refresh("Degrees");
    EXPECT_EQ(counter.paints, 0);
    window->SetText("Degrees", "90");
    window->Refresh("Degrees");
    EXPECT_EQ(counter.paints, 1);
}

}  // namespace
