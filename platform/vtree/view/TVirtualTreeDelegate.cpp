#include "platform/vtree/view/TVirtualTreeDelegate.h"

#include <QApplication>
#include <QStyle>

QRect TVirtualTreeDelegate::CheckBoxRect(const QStyleOptionViewItem& Option, const QModelIndex& Index) const {
  QStyleOptionViewItem opt(Option);
  initStyleOption(&opt, Index);
  if (!(opt.features & QStyleOptionViewItem::HasCheckIndicator)) return {};
  // The same call Qt's own click handling makes, so both agree on the box.
  const QWidget* widget = Option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  return style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget);
}
