#include "app/gui/AnchorPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QResizeEvent>

#include <algorithm>

TAnchorPanel::TAnchorPanel(QWidget* Parent, QSize DesignedSize) : QWidget(Parent), FDesignedSize(DesignedSize) {}

void TAnchorPanel::Place(QWidget* Child, QRect Designed, int Anchors) {
  Child->setParent(this);
  // Captions size themselves, as the form's labels do: a stand-in font may be wider than the designed one.
  if (qobject_cast<QLabel*>(Child) || qobject_cast<QCheckBox*>(Child))
    Designed.setWidth(std::max(Designed.width(), Child->sizeHint().width()));
  Child->setGeometry(Designed);
  FChildren.push_back({Child, Designed, Anchors});
}

void TAnchorPanel::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  if (!FDesignedSize.isValid()) FDesignedSize = size();
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
