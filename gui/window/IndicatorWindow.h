#pragma once
// The 指標 window: the key ratios of the shown period as a table, refreshed whenever the
// main window's fields change, copied as tab-separated text (Ctrl+C or its button), and the
// two options that go with them (損益分岐点 on the profit and loss diagram, the indicators
// file of a batch run). Non-modal; it sees the main window only through IndicatorHost.

#include <QRect>
#include <QString>
#include <QWidget>

#include "core/model/StatementData.h"

class QCheckBox;
class QPlainTextEdit;
class QTableWidget;

namespace quorvex {

class IndicatorHost {
  public:
    virtual ~IndicatorHost() = default;
    // The period as the fields hold it now.
    virtual StatementData shownPeriod() const = 0;
    virtual int ratioDecimals() const = 0;
    virtual bool breakEven() const = 0;
    // Draws the diagrams again.
    virtual void setBreakEven(bool on) = 0;
    virtual bool batchIndicators() const = 0;
    virtual void setBatchIndicators(bool on) = 0;
};

class IndicatorWindow final : public QWidget {
  public:
    IndicatorWindow(IndicatorHost& host, QWidget* parent);

    // The table (and the check boxes) from the host's period and options.
    void Refresh();
    // "期" TAB period, then one line per ratio: name TAB value as shown.
    QString TableText() const;
    void CopyTable();

  private:
    IndicatorHost& host_;
    QTableWidget* table_ = nullptr;
    QCheckBox* breakEven_ = nullptr;
    QCheckBox* batch_ = nullptr;
    QPlainTextEdit* help_ = nullptr;
};

}  // namespace quorvex
