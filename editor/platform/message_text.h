#pragma once

#include <QString>

namespace tamrisk {

// A reason from elsewhere (the system's or a library's error text) as one
// part of a sentence of ours: without its own closing full stop, so that
// "...（%1）。" never ends in "。）。".
inline QString bare_reason(QString reason) {
  reason = reason.trimmed();
  while (reason.endsWith(QChar(0x3002)) || reason.endsWith(QChar(0xFF0E)) ||
         reason.endsWith(QLatin1Char('.'))) {
    reason.chop(1);
  }
  return reason;
}

}  // namespace tamrisk
