#include "app/gui/AnchorPanel.h"

#include <QResizeEvent>

TAnchorPanel::TAnchorPanel(QWidget* Parent, QSize DesignedSize) : QWidget(Parent), FDesignedSize(DesignedSize) {}

void TAnchorPanel::Place(QWidget* Child, QRect Designed, int Anchors) {
  Child->setParent(this);
  Child->setGeometry(Designed);
  FChildren.push_back({Child, Designed, Anchors});
}

void TAnchorPanel::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  if (!FDesignedSize.isValid())
    FDesignedSize = size();
  const int dw = width() - FDesignedSize.width();
  const int dh = height() - FDesignedSize.height();
  for (const TAnchored& a : FChildren) {
    QRect r = a.Designed;
    if ((a.Anchors & akRight) && (a.Anchors & akLeft))
      r.setWidth(r.width() + dw);
    else if (a.Anchors & akRight)
      r.translate(dw, 0);
    if ((a.Anchors & akBottom) && (a.Anchors & akTop))
      r.setHeight(r.height() + dh);
    else if (a.Anchors & akBottom)
      r.translate(0, dh);
    a.Child->setGeometry(r);
  }
}
