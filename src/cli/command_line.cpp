#include "cli/command_line.h"

#include "app/calculation_engine.h"
#include "scan/extensions.h"

#include <QCoreApplication>

#include <cstdlib>

namespace quillmark {

std::optional<CommandLine> parseCommandLine(int argc, char** argv, QString& error)
{
    CommandLine options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&](const char* name) -> std::optional<std::string> {
            const std::string prefix = std::string(name) + "=";
            if (argument.rfind(prefix, 0) == 0)
                return argument.substr(prefix.size());
            if (argument == name && i + 1 < argc)
                return std::string(argv[++i]);
            error = QCoreApplication::translate("CommandLine", "%1 richiede un valore")
                        .arg(QString::fromUtf8(name));
            return std::nullopt;
        };
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--show-empty") {
            options.showEmpty = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--csv") {
            options.csv = true;
        } else if (argument == "--files") {
            options.selection = true;
        } else if (argument == "--no-cache") {
            options.noCache = true;
        } else if (argument.rfind("--jobs", 0) == 0) {
            const auto count = value("--jobs");
            if (!count)
                return std::nullopt;
            const int jobs = std::atoi(count->c_str());
            if (jobs <= 0) {
                error = QCoreApplication::translate("CommandLine",
                                                    "--jobs richiede un numero positivo");
                return std::nullopt;
            }
            options.jobs = jobs;
        } else if (argument.rfind("--extensions", 0) == 0) {
            const auto text = value("--extensions");
            if (!text)
                return std::nullopt;
            options.extensions = QString::fromStdString(*text);
        } else if (argument.rfind("--read", 0) == 0) {
            options.reportFile = value("--read");
            if (!options.reportFile)
                return std::nullopt;
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
            error = QCoreApplication::translate("CommandLine", "opzione sconosciuta %1")
                        .arg(QString::fromStdString(argument));
            return std::nullopt;
        } else if (argument == "--") {
            for (++i; i < argc; ++i)
                options.files.emplace_back(argv[i]);
        } else {
            options.files.push_back(argument);
        }
    }
    if (options.selection) {
        if (options.files.empty()) {
            error =
                QCoreApplication::translate("CommandLine", "--files richiede almeno un percorso");
            return std::nullopt;
        }
    } else if (!options.files.empty()) {
        if (options.files.size() > 1) {
            error = QCoreApplication::translate("CommandLine", "si misura una cartella alla volta");
            return std::nullopt;
        }
        options.folder = options.files.front();
        options.files.clear();
    }
    if (options.json && options.csv) {
        error = QCoreApplication::translate("CommandLine", "--json e --csv si escludono");
        return std::nullopt;
    }
    if (!options.help && (options.folder || options.selection) == options.reportFile.has_value()) {
        error = QCoreApplication::translate("CommandLine",
                                            "indica una CARTELLA oppure --read FILE (vedi --help)");
        return std::nullopt;
    }
    return options;
}

QString helpText()
{
    return QCoreApplication::translate(
               "CommandLine",
               "Uso: quillmark-report [--extensions TESTO] [--show-empty] [--json | --csv]\n"
               "                      [--no-cache] [--jobs N] CARTELLA\n"
               "     quillmark-report [opzioni] --files PERCORSO...\n"
               "     quillmark-report [--csv] --read FILE\n"
               "\n"
               "Misura ogni video di CARTELLA e delle cartelle sotto di essa e stampa il\n"
               "report, byte per byte ciò che l'app salva come durata.txt.\n"
               "\n"
               "  --files             misura proprio i file e le cartelle indicati (ogni\n"
               "                      cartella con tutto ciò che contiene), raggruppati per\n"
               "                      cartella come in un report\n"
               "\n"
               "  --extensions TESTO  estensioni separate da virgole, come nel campo dell'app\n"
               "                      (predefinite: %1)\n"
               "  --show-empty        elenca anche le cartelle senza file corrispondenti\n"
               "                      (nascoste se non lo si chiede)\n"
               "  --json              stampa il risultato in JSON (la forma di --read) invece\n"
               "                      del testo del report; i totali dei sottoalberi vengono\n"
               "                      dai secondi misurati\n"
               "  --csv               stampa un foglio di calcolo (CSV, RFC 4180, UTF-8): una\n"
               "                      riga per file con cartella, nome, secondi misurati\n"
               "                      (interi), etichetta, errore e una nota se il percorso non\n"
               "                      è UTF-8 valido; con --read i secondi restano vuoti,\n"
               "                      perché un report dice solo i minuti; un testo che un\n"
               "                      foglio di calcolo prenderebbe per una formula (inizia\n"
               "                      con =, +, -, @, tab o ritorno a capo) comincia con '\n"
               "  --no-cache          misura ogni file da capo, senza leggere né scrivere la\n"
               "                      cache delle durate\n"
               "                      ($XDG_CACHE_HOME/Quillmark/durations.sqlite)\n"
               "  --jobs N            misura al più N file alla volta (se non lo si chiede: uno\n"
               "                      per processore, %2 sui file system di rete e FUSE, dove\n"
               "                      si elencano anche N cartelle alla volta)\n"
               "  --read FILE         stampa in JSON ciò che il lettore ricava da un report:\n"
               "                      {\"grandTotalLabel\": ..., \"folders\": [{\"path\",\n"
               "                      \"totalLabel\", \"subtreeTotalLabel\",\n"
               "                      \"subtreeTotalApproximate\", \"files\": [{\"name\",\n"
               "                      \"durationLabel\", \"errorMessage\"?}]}]}; il sottoalbero\n"
               "                      di una cartella è lei e ogni cartella sotto di essa; una\n"
               "                      somma di più etichette arrotondate è approssimata\n"
               "  --help              mostra questo testo\n"
               "\n"
               "Le durate vengono dalle librerie di FFmpeg; i file che queste non leggono\n"
               "vengono provati con ffprobe. Un file che non si può misurare è elencato con il\n"
               "suo errore e conta zero. Durante la misura l'avanzamento appare sullo standard\n"
               "error quando è un terminale.\n"
               "\n"
               "Ctrl+C interrompe un calcolo: i suoi processi ffprobe terminano e non si stampa\n"
               "nulla.\n"
               "\n"
               "Stato di uscita: 0 se riesce, 1 se l'output non si può scrivere, 2 per una riga\n"
               "di comando sbagliata, una cartella inutilizzabile o illeggibile, un report\n"
               "illeggibile, un calcolo che non può partire (nessun thread) o memoria\n"
               "insufficiente, 130 se interrotto.\n")
        .arg(defaultExtensions().join(QLatin1Char(',')),
             QString::number(CalculationEngine::remoteInFlight));
}

} // namespace quillmark
