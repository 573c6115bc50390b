#pragma once
// A panel whose children keep their designed distances to the sides they are anchored to, as the
// form's controls do: anchored left and right they stretch, right only they move, likewise for top
// and bottom. The designed size is given, or taken from the panel's first real size (a page of a
// page control, whose size the control decides).
#include <QWidget>

#include <vector>

enum TAnchorKind { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

class TAnchorPanel : public QWidget {
public:
  explicit TAnchorPanel(QWidget* Parent = nullptr, QSize DesignedSize = {});

  void Place(QWidget* Child, QRect Designed, int Anchors);

protected:
  void resizeEvent(QResizeEvent* Event) override;

private:
  struct TAnchored {
    QWidget* Child;
    QRect Designed;
    int Anchors;
  };
  QSize FDesignedSize;
  std::vector<TAnchored> FChildren;
};
