// The DirectUI reader: text at the caret of views that draw their text themselves and expose
// none (captured from what they draw), after a caret key (private message MSG_CARET_KEY).
#pragma once

namespace quellon::access {

class DirectUIReader {
 public:
  virtual ~DirectUIReader() = default;
  virtual void ReadDirectUIText() = 0;
};

// Such views are not read.
class NullDirectUIReader final : public DirectUIReader {
 public:
  void ReadDirectUIText() override {}
};

}  // namespace quellon::access
