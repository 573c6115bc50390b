#pragma once
// The Sort text of a dataset: "name [ASC|DESC][, name [ASC|DESC] ...]"; names may be [bracketed].
// Sorting is stable, so rows with equal keys keep their row order; "" means row order.
#include "platform/data/cursor/RowView.h"

#include <QString>

class TRowStore;

// Raises "Field '%s' not found" for an unknown name, "Invalid sort order '%s'" for other text.
TRowView SortedRows(const TRowStore& Store, const QString& Sort);
