#include "gui/app/EditNotice.h"

#include "core/model/RomImage.h"

#include <QPointer>

namespace vx {

void listenToEdits(RomImage& rom, QObject* listener, std::function<void()> heard)
{
    std::function<void(const std::string&)>& notice = rom.hooks.showModified;
    notice = [shell = notice, alive = QPointer<QObject>(listener), heard = std::move(heard)](const std::string& text) {
        if (shell)
            shell(text);
        if (alive)
            heard();
    };
}

} // namespace vx
