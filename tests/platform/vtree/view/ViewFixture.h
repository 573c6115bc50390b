#pragma once
// A lazy tree shown in a TVirtualTreeView on the offscreen platform.
#include "ViewTestSupport.h"
#include "platform/vtree/view/TVirtualTreeView.h"

#include <QApplication>

struct TShownView {
  TLazyTree Tree;
  TVirtualTreeView View{Tree};
  TShownView() {
    View.resize(320, 400);
    View.show();
    QApplication::processEvents();
  }
  QModelIndex Index(int Name) { return View.Model().IndexOf(Tree.Find(Name)); }
  QPoint Caption(int Name) { return View.NodeRect(Tree.Find(Name)).center(); }
  QPoint Button(int Name) {
    const QRect r = View.NodeRect(Tree.Find(Name));
    return {r.left() - View.indentation() / 2, r.center().y()};
  }
  QWidget* Viewport() { return View.viewport(); }
};
