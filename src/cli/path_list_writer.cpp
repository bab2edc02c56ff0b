#include "cli/path_list_writer.h"

#include "inventory/shortcut_item.h"

namespace {

class PathListWriter final : public IRecordWriter {
public:
    explicit PathListWriter(std::ostream& out) : out_(out) {}
    void Write(const TShortcutItem& record) override {
        out_.write(record.Shortcut.data(), static_cast<std::streamsize>(record.Shortcut.size()));
        out_.put('\0');
    }
    void Finish() override { out_.flush(); }

private:
    std::ostream& out_;
};

} // namespace

std::unique_ptr<IRecordWriter> CreatePathListWriter(std::ostream& out) {
    return std::make_unique<PathListWriter>(out);
}
