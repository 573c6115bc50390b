#pragma once
// The master's field names a data-bound tree reads. Writing the key, parent, caption name or the
// root value with a different text (case-sensitive) rebuilds the tree when its master is available
// and clears it otherwise; writing the has-children name only stores it for the next activation.
//   tree.DBTreeFields().SetKeyFieldName(u"Id"_s);
#include <QString>

class TLxDBTreeView;

class TLxDBTreeFields {
public:
  explicit TLxDBTreeFields(TLxDBTreeView* ADBTreeView) : FDBTreeView(ADBTreeView) {}
  TLxDBTreeFields(const TLxDBTreeFields&) = delete;
  TLxDBTreeFields& operator=(const TLxDBTreeFields&) = delete;

  TLxDBTreeView* DBTreeView() const { return FDBTreeView; }
  const QString& KeyFieldName() const { return FKeyFieldName; }
  void SetKeyFieldName(const QString& Value) { Write(FKeyFieldName, Value); }
  const QString& ParentFieldName() const { return FParentFieldName; }
  void SetParentFieldName(const QString& Value) { Write(FParentFieldName, Value); }
  const QString& ListFieldName() const { return FListFieldName; }
  void SetListFieldName(const QString& Value) { Write(FListFieldName, Value); }
  const QString& HasChildrenFieldName() const { return FHasChildrenFieldName; }
  void SetHasChildrenFieldName(const QString& Value) { FHasChildrenFieldName = Value; }
  const QString& ParentOfRootValue() const { return FParentOfRootValue; }
  void SetParentOfRootValue(const QString& Value) { Write(FParentOfRootValue, Value); }

private:
  void Write(QString& Field, const QString& Value);

  TLxDBTreeView* FDBTreeView;
  QString FKeyFieldName;
  QString FParentFieldName;
  QString FParentOfRootValue;
  QString FListFieldName;
  QString FHasChildrenFieldName;
};
