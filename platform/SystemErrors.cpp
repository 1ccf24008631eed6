#include "platform/SystemErrors.h"

#include <cerrno>

namespace platform {

namespace {

struct Reason {
    int code;
    const char* text;
};

// The errors that opening, reading, writing, syncing and renaming a file can give.
const Reason kReasons[] = {
    {EPERM, "opération non permise"},
    {ENOENT, "fichier ou dossier introuvable"},
    {EINTR, "appel système interrompu"},
    {EIO, "erreur d'entrée-sortie"},
    {ENXIO, "périphérique ou adresse introuvable"},
    {EBADF, "descripteur de fichier invalide"},
    {EAGAIN, "ressource momentanément indisponible"},
    {ENOMEM, "mémoire insuffisante"},
    {EACCES, "permission refusée"},
    {EFAULT, "adresse invalide"},
    {EBUSY, "périphérique ou ressource occupé"},
    {EEXIST, "le fichier existe déjà"},
    {EXDEV, "le fichier ne peut pas changer de système de fichiers"},
    {ENODEV, "périphérique introuvable"},
    {ENOTDIR, "un élément du chemin n'est pas un dossier"},
    {EISDIR, "c'est un dossier"},
    {EINVAL, "argument invalide"},
    {ENFILE, "trop de fichiers ouverts sur le système"},
    {EMFILE, "trop de fichiers ouverts"},
    {ETXTBSY, "fichier exécutable occupé"},
    {EFBIG, "fichier trop grand"},
    {ENOSPC, "plus de place sur le disque"},
    {EROFS, "système de fichiers en lecture seule"},
    {EMLINK, "trop de liens"},
    {ENAMETOOLONG, "nom de fichier trop long"},
    {ENOTEMPTY, "dossier non vide"},
    {ELOOP, "trop de niveaux de liens symboliques"},
    {EOVERFLOW, "valeur trop grande pour son type"},
    {EOPNOTSUPP, "opération non prise en charge"},
    {ETIMEDOUT, "délai d'attente dépassé"},
    {ESTALE, "fichier réseau périmé"},
    {EDQUOT, "quota de disque dépassé"},
};

} // namespace

std::string SystemReason(int code)
{
    for (const Reason& r : kReasons)
        if (r.code == code)
            return r.text;
    return "erreur système n° " + std::to_string(code);
}

} // namespace platform
