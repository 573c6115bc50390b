#pragma once
// "Expect this message": the message of the Exception a call throws, for EXPECT_EQ and its kin.
//   EXPECT_EQ(MessageOf([&] { q->SetFilter(u"nosuch=1"_s); }), u"Field 'nosuch' not found"_s);
// A call that returns gives NoErrorMessage, so that a missing failure shows in the comparison.
#include "platform/base/Exception.h"

#include <QString>
#include <utility>

namespace TestSupport {

inline const QString NoErrorMessage = QStringLiteral("(no error)");

template <class TCall>
QString MessageOf(TCall&& Call) {
  try {
    std::forward<TCall>(Call)();
  } catch (const Exception& error) {
    return error.Message();
  }
  return NoErrorMessage;
}

}  // namespace TestSupport
