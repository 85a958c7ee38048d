#include "link/ConnectionHints.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace qzr {

const char* const PedalsUdevRule =
    R"(SUBSYSTEM=="hidraw", ATTRS{idVendor}=="16c0", ATTRS{idProduct}=="0612", TAG+="uaccess")";
const char* const PedalsUdevRuleFile = "70-qzr-rudder-pedals.rules";

namespace {

const char* const UdevRuleFolders[] = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                       "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};

std::string InstallRuleCommand() {
    return std::string("echo '") + PedalsUdevRule + "' | sudo tee /etc/udev/rules.d/" +
           PedalsUdevRuleFile + " && sudo udevadm control --reload";
}

std::string NoAccessText(const std::string& node, bool ruleInstalled) {
    if (ruleInstalled)
        return "Педали подключены, но у вас пока нет прав на работу с ними (" + node +
               "). Правило udev для педалей установлено: отключите педали и подключите их снова.";
    return "Педали подключены, но у вас нет прав на работу с ними (" + node +
           "). Чтобы дать права, выполните в терминале команду\n\n" + InstallRuleCommand() +
           "\n\nи переподключите педали.";
}

std::string UnopenableText(const TDeviceDiagnosis& diagnosis, bool ruleInstalled) {
    const std::string& node = diagnosis.node;
    switch (diagnosis.error) {
    case EACCES:
    case EPERM:
        return NoAccessText(node, ruleInstalled);
    case EBUSY:
        return "Педали подключены, но заняты другой программой (" + node +
               "). Закройте её и переподключите педали.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "Педали отключились, пока программа к ним обращалась (" + node +
               "). Подключите их снова.";
    default:
        return "Педали подключены, но открыть их не удалось (" + node + ": " +
               ErrnoName(diagnosis.error) + "). Переподключите педали.";
    }
}

} // namespace

bool PedalsUdevRuleInstalled() {
    for (const char* folder : UdevRuleFolders) {
        struct stat status{};
        const std::string path = std::string(folder) + "/" + PedalsUdevRuleFile;
        if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            return true;
    }
    return false;
}

std::string ExplainPedalsAbsence(const TDeviceDiagnosis& diagnosis, bool ruleInstalled) {
    switch (diagnosis.finding) {
    case TDeviceFinding::Usable:
        return {};
    case TDeviceFinding::Unlisted:
        return "Не удалось получить список HID-устройств от udev. Проверьте, что служба "
               "systemd-udevd запущена.";
    case TDeviceFinding::NoInterface:
        return "В системе нет ни одного HID-устройства (/dev/hidraw*). Подключите педали; если "
               "они подключены, загрузите драйвер hidraw командой\n\nsudo modprobe hidraw";
    case TDeviceFinding::Absent:
        return "Педали не найдены. Подключите их к USB-порту компьютера.";
    case TDeviceFinding::Unopenable:
        return UnopenableText(diagnosis, ruleInstalled);
    }
    return {};
}

std::string HidinfoNote() {
    // The command on a line of its own, so that wrapping never splits it at its hyphen.
    return "Подробности покажет команда\nqzr-hidinfo";
}

std::string NotificationDownNote() {
    return "Программа не замечает подключения и отключения педалей: наблюдение udev не "
           "запустилось. Подключив или отключив педали, перезапустите программу.";
}

std::string ErrnoName(int error) {
    const char* name = ::strerrorname_np(error);
    return name != nullptr ? name : "errno " + std::to_string(error);
}

} // namespace qzr
