#pragma once
// A stand-in main window for the input aids: plain line edits for the period, names and
// amounts, a hidden help panel, colours in an array, and counters for repaints.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>
#include <map>

#include "gui/aids/AidsHost.h"
#include "tests/common/RecordingMessageSink.h"

namespace quorvex::test {

class FakeAidsHost final : public AidsHost {
  public:
    FakeAidsHost() {
        window_.resize(800, 600);
        for (int id = 3000; id < 3010; ++id) fields_[id] = new QLineEdit(&window_);
        for (int id = 3100; id < 3110; ++id) fields_[id] = new QLineEdit(&window_);
        fields_[1000] = new QLineEdit(&window_);
        fields_[1000]->setText("5");
        panel_ = new QPlainTextEdit(&window_);
        panel_->setGeometry(0, 0, 10, 10);
        panel_->hide();
        std::copy(DefaultItemColours.begin(), DefaultItemColours.end(), colours_.begin());
    }

    QWidget* hostWindow() override { return &window_; }
    QWidget* control(int id) override {
        if (id == 103) return withPanel ? panel_ : nullptr;
        const auto it = fields_.find(id);
        return it == fields_.end() ? nullptr : it->second;
    }
    Colour itemColour(int i) const override { return colours_.at(i); }
    void setItemColour(int i, Colour c) override {
        colours_.at(i) = c;
        ++colourSets;
    }
    void repaintFigureArea() override { ++repaints; }
    QRect figureArea() const override { return area; }
    bool& helpShown() override { return shown; }
    MessageSink& messages() override { return sink; }

    QString text(int id) { return fields_.at(id)->text(); }
    void setText(int id, const QString& t) { fields_.at(id)->setText(t); }
    QPlainTextEdit& panel() { return *panel_; }
    const std::array<Colour, kItemCount>& colours() const { return colours_; }

    RecordingMessageSink sink;
    int repaints = 0;
    int colourSets = 0;
    bool shown = false;
    bool withPanel = true;
    QRect area{0, 200, 800, 400};

  private:
    QWidget window_;
    std::map<int, QLineEdit*> fields_;
    QPlainTextEdit* panel_ = nullptr;
    std::array<Colour, kItemCount> colours_{};
};

}  // namespace quorvex::test
