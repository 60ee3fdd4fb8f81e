#include "Texts.h"

#include <atomic>
#include <memory>

namespace tovrel::texts {
namespace {

// Read on every lookup, from any thread; written rarely. Null while no
// translator is installed, so the common case is one atomic load.
std::atomic<std::shared_ptr<const Translator>>& Active() {
    static std::atomic<std::shared_ptr<const Translator>> active;
    return active;
}

}  // namespace

void SetTranslator(Translator translator) {
    Active().store(translator ? std::make_shared<const Translator>(std::move(translator)) : nullptr);
}

std::string Translate(const char* context, const char* source) {
    const std::shared_ptr<const Translator> translator = Active().load();
    if (!translator) return source;
    return (*translator)(context, source);
}

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 16 * args.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace tovrel::texts
