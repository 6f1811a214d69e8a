#include "app/CDataFileSession.h"

#include "app/CBackgroundCheck.h"
#include "app/CDlgStartup.h"
#include "core/AppData.h"
#include "core/CAppSettings.h"
#include "core/CStringTable.h"
#include "core/ConnectStatusMessage.h"
#include "core/FillUpNotes.h"
#include "core/ResourceIds.h"
#include "datastore/CDataFileCheck.h"
#include "datastore/CDataLayer.h"
#include "exchange/CDataFileBackup.h"
#include "exchange/CRepairedCopy.h"
#include "exchange/CheckText.h"
#include "platform/FileSystem.h"
#include "widgets/CPrompter.h"
#include "widgets/CWaitCursor.h"
#include "widgets/CWaitOffThread.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString DataFileFilter() {
    return CDlgStartup::QtFileFilter(LoadStringResource(IDS_DATA_FILE_FILTER));
}

void Warn(QWidget* parent, const QString& text) {
    CPrompter::Instance().MessageBox(parent, text, QString(), CPrompter::ButtonsOK, CPrompter::IconWarning);
}

// Enough findings for a message box; the console tool lists them all.
constexpr int kFindingsShown = 12;

QString FindingsText(const QStringList& lines) {
    QStringList shown = lines.mid(0, kFindingsShown);
    if (lines.size() > kFindingsShown)
        shown << FormatStringResource(IDS_IMPORT_MORE_ERRORS,
                                      {QString::number(lines.size() - kFindingsShown)});
    return shown.join(u'\n');
}

// Offers a repaired copy of the damaged file after what was found; once written, offers to open
// it. True when the copy is to be opened: its path is then stored, to be connected next.
bool OfferRepair(QWidget* parent, const QString& path, const QString& found) {
    CPrompter& prompter = CPrompter::Instance();
    if (prompter.MessageBox(parent,
                            found + QStringLiteral("\n\n") + LoadStringResource(IDS_CHECK_OFFER_REPAIR),
                            QString(), CPrompter::ButtonsYesNo, CPrompter::IconWarning) != CPrompter::IDYES)
        return false;
    const QString target = prompter.GetSaveFileName(parent, DataFileFilter(),
                                                    CRepairedCopy::SuggestedPath(path, QDate::currentDate()));
    if (target.isEmpty())
        return false;
    CRepairedCopy repair;
    repair.replace = QFileInfo::exists(target); // asked by the save dialog
    CRepairedCopy::Result result = CRepairedCopy::ResultOK;
    {
        CWaitCursor wait;
        result = repair.Write(path, target);
    }
    if (result != CRepairedCopy::ResultOK) {
        Warn(parent, repair.Problem());
        return false;
    }
    const QString done = FormatStringResource(IDS_REPAIR_DONE, {repair.Destination()}) +
                         QStringLiteral("\n\n") + FindingsText(repair.Summary());
    if (prompter.MessageBox(parent, FormatStringResource(IDS_REPAIR_OPEN, {done}),
                            LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsYesNo,
                            CPrompter::IconInformation) != CPrompter::IDYES)
        return false;
    TheSettings().DBPath = repair.Destination().toStdU16String();
    return true;
}

enum class Damage { None, Told, CopyToOpen };

// A file that would not open as a data file of this version: when the engine finds it damaged,
// that is what the user is told, with the offer of a repaired copy, and not that the file is of
// another version.
Damage OfferRepairOfDamaged(QWidget* parent, const QString& path) {
    CDataFileCheck check;
    {
        CWaitCursor wait;
        if (check.Run(path.toStdU16String().c_str()) != CDataLayer::ConnectOK)
            return Damage::None;
    }
    const auto& findings = check.Findings();
    const bool damaged = std::any_of(findings.begin(), findings.end(), [](const CDataFileCheck::Finding& f) {
        return f.kind == CDataFileCheck::Finding::Engine;
    });
    if (!damaged)
        return Damage::None;
    const QString found = FormatStringResource(IDS_DATA_FILE_DAMAGED, {path}) + QStringLiteral("\n\n") +
                          FindingsText(CheckSummaryLines(check));
    return OfferRepair(parent, path, found) ? Damage::CopyToOpen : Damage::Told;
}

} // namespace

CDataFileSession::CDataFileSession() : m_TemplatePath(LocateTemplate()) {}

QString CDataFileSession::LocateTemplate() {
    const QString name = LoadStringResource(IDS_TEMPLATE_FILE);
    const QDir folder(QString::fromStdString(GetModuleFolder()));
    const QString beside = folder.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(folder.filePath(QStringLiteral("../share/carvelle/") + name));
    return QFileInfo::exists(installed) ? installed : beside;
}

QString CDataFileSession::Folder() const {
    return QFileInfo(QString::fromUtf16(TheDataLayer().GetDBPath())).absolutePath();
}

bool CDataFileSession::Connect(QWidget* parent) {
    CAppSettings& settings = TheSettings();
    // A choice the user cancels leaves the stored path as it was.
    const std::u16string stored = settings.DBPath;
    if (settings.DBPath.empty()) {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        // A new account may have no documents folder yet.
        QDir().mkpath(documents);
        settings.DBPath =
            QDir(documents).filePath(LoadStringResource(IDS_DEFAULT_DATA_FILE)).toStdU16String();
    }

    CPrompter& prompter = CPrompter::Instance();
    CDataLayer& layer = TheDataLayer();
    // Another file chosen from the menu is connected already: checking it once is enough.
    if (layer.IsConnected() && settings.DBPath == layer.GetDBPath()) {
        settings.SaveDBPath();
        return true;
    }
    for (;;) {
        const QString path = QString::fromStdU16String(settings.DBPath);
        CDataLayer::ConnectStatus status = CDataLayer::ConnectOpenFailed;
        bool finished = true;
        {
            // Connecting reads every page of the file: off the window's thread, which keeps
            // drawing, with a Cancel after a moment.
            CWaitCursor wait;
            const std::u16string tried = settings.DBPath;
            finished = CWaitOffThread::Run(
                parent, FormatStringResource(IDS_WAIT_OPENING, {path}),
                [&layer, &status, &tried] {
                    status = layer.Connect(tried.c_str());
                    if (status == CDataLayer::ConnectOK)
                        ConvertImportedFillNotes(layer);
                },
                [&layer] { layer.Interrupt(); });
        }
        if (finished && status == CDataLayer::ConnectOK) {
            settings.SaveDBPath();
            return true;
        }
        if (!finished) {
            layer.Disconnect(); // cancelled: the choice of another file, without a word
        } else if (layer.GetConnectReason() == CDataLayer::ConnectInvalidDatabase) {
            const Damage damage = OfferRepairOfDamaged(parent, path);
            if (damage == Damage::CopyToOpen)
                continue;
            if (damage == Damage::None)
                Warn(parent, ConnectStatusMessage(layer.GetConnectReason(), path));
        } else if (status != CDataLayer::ConnectFileNotFound) {
            // A missing file goes straight to the choice of another.
            Warn(parent, ConnectStatusMessage(layer.GetConnectReason(), path));
        }

        CDlgStartup startup(parent);
        if (prompter.RunModal(startup) == ID_CANCEL) {
            settings.DBPath = stored;
            return false;
        }
        if (startup.CreateNew()) {
            const std::u16string templatePath = m_TemplatePath.toStdU16String();
            // Plates, VINs and insurance numbers: for the owner's eyes only.
            if (!CopyFilePrivate(templatePath.c_str(), settings.DBPath.c_str(), 0))
                Warn(parent, FormatStringResource(IDS_CANNOT_CREATE_DATA_FILE,
                                                  {QString::fromStdU16String(settings.DBPath)}));
        }
    }
}

bool CDataFileSession::ChooseAnother(QWidget* parent) {
    CAppSettings& settings = TheSettings();
    const QString chosen = CPrompter::Instance().GetOpenFileName(parent, DataFileFilter(),
                                                                 QString::fromStdU16String(settings.DBPath));
    if (chosen.isEmpty())
        return false;
    // The chosen file takes the open one's place at once: connecting checks every page of a file,
    // which is not worth doing twice for one file.
    CDataLayer& layer = TheDataLayer();
    const std::u16string previous =
        layer.IsConnected() ? std::u16string(layer.GetDBPath()) : std::u16string();
    QString problem;
    bool finished = true;
    CDataLayer::ConnectStatus reason = CDataLayer::ConnectOK;
    {
        CWaitCursor wait;
        const std::u16string tried = chosen.toStdU16String();
        finished = CWaitOffThread::Run(
            parent, FormatStringResource(IDS_WAIT_OPENING, {chosen}),
            [&layer, &tried] {
                if (layer.Connect(tried.c_str()) == CDataLayer::ConnectOK)
                    ConvertImportedFillNotes(layer);
            },
            [&layer] { layer.Interrupt(); });
        reason = layer.GetConnectReason();
        problem = finished ? ConnectStatusMessage(reason, chosen) : QString();
        if ((!finished || !problem.isEmpty()) && !previous.empty() &&
            layer.Connect(previous.c_str()) != CDataLayer::ConnectOK)
            layer.Disconnect(); // the old file is gone too: the usual road asks for one
    }
    if (!finished)
        return !layer.IsConnected(); // cancelled: the file open before stays
    if (!problem.isEmpty()) {
        const Damage damage = reason == CDataLayer::ConnectInvalidDatabase
                                  ? OfferRepairOfDamaged(parent, chosen)
                                  : Damage::None;
        if (damage == Damage::CopyToOpen) {
            layer.Disconnect(); // the copy, whose path is stored, takes the open file's place
            return true;
        }
        if (damage == Damage::None)
            Warn(parent, problem);
        return !layer.IsConnected();
    }
    settings.DBPath = chosen.toStdU16String();
    return true;
}

void CDataFileSession::Backup(QWidget* parent) {
    const QString source = QString::fromUtf16(TheDataLayer().GetDBPath());
    CPrompter& prompter = CPrompter::Instance();
    const QString path = prompter.GetSaveFileName(
        parent, DataFileFilter(), CDataFileBackup::SuggestedPath(source, QDate::currentDate()));
    if (path.isEmpty())
        return;
    CDataFileBackup backup;
    // The save dialog has asked before a file of that name is replaced.
    backup.replace = QFileInfo::exists(path);
    CDataFileBackup::Result result = CDataFileBackup::ResultOK;
    {
        CWaitCursor wait;
        result = backup.Backup(source, path);
    }
    if (result == CDataFileBackup::ResultOK)
        prompter.MessageBox(parent, FormatStringResource(IDS_BACKUP_DONE, {backup.Destination()}),
                            LoadStringResource(IDS_PRODUCT_NAME), CPrompter::ButtonsOK,
                            CPrompter::IconInformation);
    else
        Warn(parent, backup.Problem());
}

bool CDataFileSession::Check(QWidget* parent) {
    const QString path = QString::fromUtf16(TheDataLayer().GetDBPath());
    const QString product = LoadStringResource(IDS_PRODUCT_NAME);
    CPrompter& prompter = CPrompter::Instance();
    const QString stamp = CBackgroundCheck::Stamp(path);
    CDataFileCheck check;
    CDataLayer::ConnectStatus status = CDataLayer::ConnectOK;
    {
        CWaitCursor wait;
        status = check.Run(path.toStdU16String().c_str());
    }
    if (status != CDataLayer::ConnectOK) {
        Warn(parent, ConnectStatusMessage(status, path));
        return false;
    }
    if (check.IsSound()) {
        CBackgroundCheck::RecordSound(stamp);
        prompter.MessageBox(parent, LoadStringResource(IDS_CHECK_SOUND), product, CPrompter::ButtonsOK,
                            CPrompter::IconInformation);
        return false;
    }
    const QString found = FormatStringResource(IDS_CHECK_FOUND, {path}) + QStringLiteral("\n\n") +
                          FindingsText(CheckSummaryLines(check));
    // A copy would carry the data's own findings along: nothing to offer for those.
    if (!check.NeedsRepair()) {
        Warn(parent, found);
        return false;
    }
    if (!OfferRepair(parent, path, found))
        return false;
    TheDataLayer().Disconnect();
    return true;
}
