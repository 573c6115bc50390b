#pragma once
// Reads a filter text (the language is described in DataSet.h) into its tree. Each field operand
// gets the next slot number; SlotCount receives how many there are.
// Raises Exception "Invalid filter expression '%s': %s at position %s" (position 1-based).
#include "platform/data/cursor/FilterNode.h"

std::unique_ptr<TFilterNode> ParseFilter(const QString& Text, int& SlotCount);
