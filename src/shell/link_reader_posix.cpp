// Host builds have no shell link object; shortcut files are read directly.
#include "shell/link_reader.h"

namespace {

class PosixLinkReader final : public ILinkReader {
public:
    std::string ReadTarget(const std::string&) override { return {}; }
};

} // namespace

std::unique_ptr<ILinkReader> CreateSystemLinkReader() { return std::make_unique<PosixLinkReader>(); }
