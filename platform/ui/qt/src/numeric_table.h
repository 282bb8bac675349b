// Table of numeric cells with row and column labels; cells show their value in the table's
// display format and are edited with the numeric entry of the numeric controls.
#pragma once

#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>
#include <string>

namespace qm7x::ui::qt {

class NumericTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit NumericTable(QWidget* parent = nullptr);

    // The text of a cell value in its column's display format (column from 0).
    using Formatter = std::function<std::string(int column, double value)>;
    void SetFormatter(Formatter formatter);
    QString FormatCell(int column, double value) const;
    // Cells are addressed (column, row) from 0. Showing a value emits nothing.
    void ShowCell(int column, int row, double value);
    double CellValue(int column, int row) const;
    QString CellText(int column, int row) const;
    void SetIndicator(bool indicator);

  signals:
    // The operator changed a cell's value.
    void CellCommitted(int column, int row, double value);

  private:
    Formatter formatter_;
    bool showing_ = false;
};

class NumericCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit NumericCellDelegate(NumericTable* table);

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

  public:
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  private slots:
    void EditorFinished();

  private:
    const NumericTable* table_;
};

}  // namespace qm7x::ui::qt
