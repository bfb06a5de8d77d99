#include "fw/WaitUi.h"

#include "fw/Application.h"

namespace fw {

void WaitUi::AsignaMensaje(int stringId) { AsignaMensaje(Application::get().strings().text(stringId)); }

void WaitUi::Termina(int stringId) { Termina(Application::get().strings().text(stringId)); }

} // namespace fw
