#include "app/shell/RunCommand.h"

#include <QString>
#include <exception>
#include <new>

#include "app/shell/Prompter.h"
#include "core/Error.h"

namespace kalvex::app {

bool RunCommand(QWidget* parent, Prompter& prompter, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const kalvex::Cancelled&) {
        // The user chose to stop; there is nothing to tell them.
    } catch (const kalvex::Error& e) {
        prompter.Error(parent, QString::fromUtf8(e.what()));
    } catch (const std::bad_alloc&) {
        prompter.Error(parent, QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        prompter.Error(parent, QString::fromUtf8(e.what()));
    }
    return false;
}

}  // namespace kalvex::app
