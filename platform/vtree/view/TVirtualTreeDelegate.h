#pragma once
// The item delegate of TVirtualTreeView: Qt's own painting and editing, plus where it puts a row's
// check box, so that the view can tell a click on the box from a click on the caption.
#include <QStyledItemDelegate>

class TVirtualTreeDelegate : public QStyledItemDelegate {
  Q_OBJECT
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  // The check box's rectangle for a row laid out in Option; empty when the row has none.
  QRect CheckBoxRect(const QStyleOptionViewItem& Option, const QModelIndex& Index) const;
};
