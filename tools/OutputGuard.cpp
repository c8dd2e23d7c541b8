#include "tools/OutputGuard.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/OutputFile.h"

namespace vx::tool {

std::optional<std::string> outputRefusal(const std::string& out, const std::vector<std::string>& inputs, bool force)
{
    for (const std::string& input : inputs)
        if (!input.empty() && sameFile(out, input))
            return isJapanese()
                ? out +
                    " は入"
                    "力 " +
                    input +
                    " です。出力で入力を置き換えることはありません。何も書き込"
                    "んでいません。"
                : out + " is the input " + input + "; an output never replaces an input. Nothing was written.";
    try {
        checkOutputFile(out); // a device, FIFO or read-only file is refused whatever --force says
    } catch (const UserError& error) {
        return sentence(error.what()) + localized("\n何も書き込んでいません。", "\nNothing was written.");
    }
    if (!force && pathExists(out))
        return isJapanese() ? out +
                " は既にあります。置き換えるには --force を付けてくださ"
                "い。何も書き込んでいません。"
                            : out + " exists; give --force to replace it. Nothing was written.";
    return std::nullopt;
}

} // namespace vx::tool
