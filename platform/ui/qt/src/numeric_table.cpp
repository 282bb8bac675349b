#include "numeric_table.h"

#include <QHeaderView>
#include <limits>

#include "numeric_edit.h"

namespace qm7x::ui::qt {

NumericTable::NumericTable(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new NumericCellDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!showing_) {
            emit CellCommitted(item->column(), item->row(), item->data(Qt::EditRole).toDouble());
        }
    });
}

void NumericTable::SetFormatter(Formatter formatter) {
    formatter_ = std::move(formatter);
    viewport()->update();
}

QString NumericTable::FormatCell(int column, double value) const {
    return formatter_ ? QString::fromStdString(formatter_(column, value))
                      : QString::number(value, 'f', 3);
}

void NumericTable::ShowCell(int column, int row, double value) {
    if (column < 0 || row < 0 || column >= columnCount() || row >= rowCount()) {
        return;
    }
    showing_ = true;
    QTableWidgetItem* cell = item(row, column);
    if (cell == nullptr) {
        cell = new QTableWidgetItem();  // owned by the table
        cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setItem(row, column, cell);
    }
    cell->setData(Qt::EditRole, value);
    showing_ = false;
}

double NumericTable::CellValue(int column, int row) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell == nullptr ? 0.0 : cell->data(Qt::EditRole).toDouble();
}

QString NumericTable::CellText(int column, int row) const {
    return FormatCell(column, CellValue(column, row));
}

void NumericTable::SetIndicator(bool indicator) {
    setEditTriggers(indicator
                        ? QAbstractItemView::NoEditTriggers
                        : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
}

NumericCellDelegate::NumericCellDelegate(NumericTable* table)
    : QStyledItemDelegate(table), table_(table) {}

void NumericCellDelegate::initStyleOption(QStyleOptionViewItem* option,
                                          const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(Qt::EditRole).isValid()) {
        option->text = table_->FormatCell(index.column(), index.data(Qt::EditRole).toDouble());
    }
}

QWidget* NumericCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                           const QModelIndex& index) const {
    auto* editor = new NumericEdit(parent);  // owned by the view while editing
    editor->SetFormatter([table = table_, column = index.column()](double v) {
        return table->FormatCell(column, v).toStdString();
    });
    editor->setRange(-std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
    editor->setButtonSymbols(QAbstractSpinBox::NoButtons);
    editor->setFrame(false);
    // Enter or leaving the cell ends the entry, as in the numeric controls.
    connect(editor, &NumericEdit::editingFinished, this, &NumericCellDelegate::EditorFinished);
    return editor;
}

void NumericCellDelegate::EditorFinished() {
    if (auto* editor = qobject_cast<QWidget*>(sender())) {
        emit commitData(editor);
        emit closeEditor(editor);
    }
}

void NumericCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    static_cast<NumericEdit*>(editor)->ShowValue(index.data(Qt::EditRole).toDouble());
}

void NumericCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                       const QModelIndex& index) const {
    auto* edit = static_cast<NumericEdit*>(editor);
    edit->interpretText();
    model->setData(index, edit->value(), Qt::EditRole);
}

}  // namespace qm7x::ui::qt
