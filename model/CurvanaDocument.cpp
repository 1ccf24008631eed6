#include "model/CurvanaDocument.h"

#include <vector>

#include "platform/Archive.h"
#include "platform/FileIO.h"

CurvanaDocument::CurvanaDocument()
{
    NewDocument();
}

void CurvanaDocument::NewDocument()
{
    context.ApplyNewDocumentDefaults();
    path.clear();
    modified = false;
}

bool CurvanaDocument::Load(const std::string& filePath, std::string& error)
{
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!platform::ReadWholeFile(filePath, bytes, reason)) {
        error = platform::FileMessage(filePath, "lecture impossible : " + reason);
        return false;
    }
    // Read into a copy, so that a failure leaves this document as it was. The copy keeps what
    // files do not hold (tracing parameters, graduation mode).
    CFunctionsContext loaded = context;
    try {
        Archive ar(std::move(bytes));
        loaded.Serialize(ar);
    } catch (const ArchiveException& e) {
        switch (e.cause) {
        case ArchiveException::EndOfFile:
            error = platform::FileMessage(filePath,
                "ce n'est pas un document Curvana valide (fin de fichier "
                "inattendue : fichier tronqué ou d'un autre type)");
            break;
        case ArchiveException::BadFormat:
        case ArchiveException::ReadOnly:
        case ArchiveException::WriteOnly:
            error = platform::FileMessage(filePath,
                "ce n'est pas un document Curvana valide (contenu "
                "illisible)");
            break;
        }
        return false;
    } catch (const std::bad_alloc&) {
        error = platform::FileMessage(filePath, "mémoire insuffisante pour lire ce fichier");
        return false;
    }
    context = std::move(loaded);
    path = filePath;
    modified = false;
    return true;
}

bool CurvanaDocument::Save(const std::string& filePath, std::string& error)
{
    Archive ar;
    try {
        context.Serialize(ar);
    } catch (const ArchiveException&) {
        error = platform::FileMessage(
            filePath, "document impossible à enregistrer (formule trop longue)");
        return false;
    }
    std::string reason;
    if (!platform::WriteFileAtomically(filePath, ar.Bytes().data(), ar.Bytes().size(), reason)) {
        error = platform::FileMessage(filePath, "écriture impossible : " + reason);
        return false;
    }
    path = filePath;
    modified = false;
    return true;
}
