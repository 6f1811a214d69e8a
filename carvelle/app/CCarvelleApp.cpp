#include "app/CCarvelleApp.h"

#include "app/CInstanceChannel.h"
#include "app/CMainFrame.h"
#include "app/CTerminationSignals.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CStringTable.h"
#include "datastore/CDataLayer.h"
#include "platform/DebugOutput.h"
#include "platform/SystemTime.h"
#include "reminders/CheckReminders.h"
#include "widgets/CPrompter.h"
#include "widgets/SharedFonts.h"

const char* const CCarvelleApp::ActiveSyncMutexName = "{7E734BFE-168E-46bb-81BF-C6D0F0C0FAF6}";

CCarvelleApp::CCarvelleApp(LoopRunner runLoop) : m_RunLoop(std::move(runLoop)) {}

CCarvelleApp::~CCarvelleApp() {
    m_Channel.reset();
    m_Frame.reset();
}

int CCarvelleApp::Run() {
    const QString product = LoadStringResource(IDS_PRODUCT_NAME);
    if (product.isEmpty())
        return ExitFailure;

    switch (EnsureSingleInstance(product)) {
    case InstanceResult::HandedOver:
        // Nothing of this run may reach the registry or the data file.
        TheSettings().DiscardOnExit();
        return ExitDidNotStart;
    case InstanceResult::Failed:
        return ExitFailure;
    case InstanceResult::First:
        break;
    }

    const int result = RunApplication(product);

    CAppSettings& settings = TheSettings();
    if (settings.IsLoaded()) {
        settings.SaveSettings();
        settings.DiscardOnExit(); // written now; not once more when the object goes
    }
    m_InstanceMutex.reset();
    return result;
}

CCarvelleApp::InstanceResult CCarvelleApp::EnsureSingleInstance(const QString& productName) {
    const QString serverName = CInstanceChannel::ServerNameFor(productName);
    for (int attempt = 0; attempt < SingleInstanceTries; ++attempt) {
        auto mutex = std::make_unique<CNamedMutex>(productName.toStdString());
        switch (mutex->Create()) {
        case CNamedMutex::Failed:
            return InstanceResult::Failed;
        case CNamedMutex::Created:
            m_InstanceMutex = std::move(mutex);
            return InstanceResult::First;
        case CNamedMutex::AlreadyExisted:
            break;
        }
        mutex.reset();
        switch (CInstanceChannel::Send(serverName, CInstanceChannel::ActivateMessage)) {
        case CInstanceChannel::SendAccepted:
            return InstanceResult::HandedOver;
        case CInstanceChannel::SendNoPeer:
            // The running copy holds its mutex but has no window yet.
            Sleep(SingleInstanceWaitMs);
            break;
        case CInstanceChannel::SendFailed:
            break;
        }
    }
    // The other copy never showed a window: start anyway.
    OutputDebugStringA("Carvelle: no running copy answered; starting a second one\n");
    return InstanceResult::First;
}

bool CCarvelleApp::OnChannelMessage(const QString& message) {
    if (!m_Frame)
        return false;
    if (message == CInstanceChannel::ActivateMessage)
        return m_Frame->BringForward();
    if (message == CInstanceChannel::RefreshMessage) {
        m_Frame->OnRefreshMessage();
        return true;
    }
    if (message == CInstanceChannel::ShutdownMessage) {
        m_Frame->OnShutdownMessage();
        return true;
    }
    return false;
}

int CCarvelleApp::RunApplication(const QString& productName) {
    CAppSettings& settings = TheSettings();
    settings.LoadSettings();
    CreateSharedFonts();

    m_Frame = std::make_unique<CMainFrame>();
    if (!m_TemplatePath.isEmpty())
        m_Frame->SetTemplatePath(m_TemplatePath);
    // From here a copy started later finds this one.
    m_Channel = std::make_unique<CInstanceChannel>(
        [this](const QString& message) { return OnChannelMessage(message); });
    if (!m_Channel->Listen(CInstanceChannel::ServerNameFor(productName)))
        OutputDebugStringA("Carvelle: cannot listen for other copies\n");
    // The end of the session closes the program as Exit does, dialogs first; nothing more is
    // asked after it (a notice that would follow a closed dialog would hold the end up).
    CPrompter::SetRefusing(false);
    CTerminationSignals endOfSession([this] {
        CPrompter::SetRefusing(true);
        CTerminationSignals::CloseDialogs();
        if (m_Frame)
            QMetaObject::invokeMethod(m_Frame.get(), &QWidget::close, Qt::QueuedConnection);
    });
    m_Frame->show();

    auto endWithoutLoop = [this] {
        m_Channel.reset();
        m_Frame.reset();
        DeleteSharedFonts();
    };

    // A connected desktop synchronisation holds its mutex; the data file must not be used then.
    {
        CNamedMutex activeSync(ActiveSyncMutexName);
        const CNamedMutex::Result held = activeSync.Create();
        activeSync.Close();
        if (held == CNamedMutex::AlreadyExisted) {
            CPrompter::Instance().MessageBox(m_Frame.get(), LoadStringResource(IDS_ACTIVESYNC_CONNECTED),
                                             productName, CPrompter::ButtonsOK, CPrompter::IconInformation);
            endWithoutLoop();
            return ExitOK;
        }
    }

    // Put off reminders come again in a new run.
    ForgetPutOffReminders();
    const bool opened = m_Frame->OpenDataFile();
    // Escape on the welcome dialog changes nothing, not even the settings file; the end of the
    // session still saves them, as it does whatever is open.
    if (!opened && !CPrompter::IsRefusing())
        settings.DiscardOnExit();

    // Once per installation, with a data file open: a welcome dialog left with Escape ends the
    // program without a word.
    if (opened && settings.UnitSetupMsgShown == 0) {
        CPrompter::Instance().MessageBox(m_Frame.get(), LoadStringResource(IDS_VERIFY_UNITS), productName,
                                         CPrompter::ButtonsOK, CPrompter::IconInformation);
        settings.UnitSetupMsgShown = 1;
    }

    // A close handled by a nested loop (a message box) has already ended the run.
    int result = ExitOK;
    if (!m_Frame->IsClosed() && m_RunLoop)
        result = m_RunLoop(*m_Frame);

    m_Channel.reset();
    TheDataLayer().Disconnect();
    m_Frame.reset();
    DeleteSharedFonts();
    CPrompter::SetRefusing(false);
    return result;
}
