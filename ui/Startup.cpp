#include "ui/Startup.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "records/RecordSet.h"
#include "ui/AfterFirstFrame.h"
#include "ui/AppFont.h"
#include "ui/AppPalette.h"
#include "ui/AxisConf.h"
#include "ui/DesktopIdentity.h"
#include "ui/QZR_RDR_Main.h"
#include "ui/QtServices.h"
#include "ui/RubrWindow.h"

namespace qzr {

std::unique_ptr<TfmQZR_Rdr_CP_Main> CreateProgramWindows(IHidPlatform& platform) {
    auto main = std::make_unique<TfmQZR_Rdr_CP_Main>(platform);
    auto* rubr = new TfmRubr(main.get());
    main->SetClassifier(rubr);
    auto* axisConf = new TfmAxisConf(main->Axes(), main->AxisSource(), rubr->Rubr(), main.get());
    main->SetAxisDialog(axisConf);
    // The classifier is filled above, before the first announcement can be handled; the
    // hidden engineering page and the axis dialog's rows wait until the main window is seen.
    RunAfterFirstFrame(*main, [window = main.get(), axisConf] {
        window->Engineering();
        axisConf->BuildRows();
    });
    return main;
}

void PrepareApplication(QApplication& application) {
    LoadRussianTranslation(application);
    ApplyLightTheme(application);
    ApplyUiFont(application);
    const QString separator = QLocale::system().decimalPoint();
    if (separator.size() == 1 && separator.at(0).unicode() < 0x80)
        SetDecimalSeparator(static_cast<char>(separator.at(0).unicode()));
}

bool DisplayAvailable(int argc, char** argv) {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return true;
    }
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0) return true;
    std::fprintf(stderr, "%s: no display: set DISPLAY or WAYLAND_DISPLAY "
                         "(or QT_QPA_PLATFORM=offscreen to run without one)\n",
                 argc > 0 ? argv[0] : "QZR_Rdr_CP");
    return false;
}

int RunProgram(int argc, char** argv, const TPlatformFactory& makePlatform) {
    if (!DisplayAvailable(argc, argv)) return 1;
    QApplication application(argc, argv);
    ApplyDesktopIdentity(application);
    PrepareApplication(application);

    TQtEventPoster poster;
    std::unique_ptr<IHidPlatform> platform = makePlatform(poster);
    std::unique_ptr<TfmQZR_Rdr_CP_Main> mainWindow = CreateProgramWindows(*platform);
    if (QScreen* screen = application.primaryScreen()) mainWindow->move(screen->availableGeometry().topLeft());
    mainWindow->show();
    return application.exec();
}

} // namespace qzr
