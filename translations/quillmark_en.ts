<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="it">
<context>
    <name>AppError</name>
    <message>
        <source>ffprobe non è riuscito ad analizzare %1: %2</source>
        <translation>ffprobe could not analyse %1: %2</translation>
    </message>
    <message>
        <source>memoria insufficiente</source>
        <translation>out of memory</translation>
    </message>
    <message>
        <source>Errore sconosciuto</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>Formato non supportato da libavformat: %1</source>
        <translation>Format not supported by libavformat: %1</translation>
    </message>
    <message>
        <source>ffprobe non trovato. Configura il percorso (es. /usr/bin/ffprobe).</source>
        <translation>ffprobe not found. Set its path (e.g. /usr/bin/ffprobe).</translation>
    </message>
</context>
<context>
    <name>AppPreferences</name>
    <message>
        <source>ffprobe_path ignorato: «%1» non è un percorso assoluto, ffprobe viene cercato nei percorsi abituali.</source>
        <translation>ffprobe_path ignored: “%1” is not an absolute path, so ffprobe is looked for in the usual places.</translation>
    </message>
</context>
<context>
    <name>CalculationEngine</name>
    <message>
        <source>cartella non leggibile (%1)</source>
        <translation>folder cannot be read (%1)</translation>
    </message>
    <message>
        <source>Impossibile leggere la cartella %1: %2</source>
        <translation>Cannot read the folder %1: %2</translation>
    </message>
    <message>
        <source>Impossibile avviare il calcolo: il sistema non concede altri thread.</source>
        <translation>Cannot start the calculation: the system grants no more threads.</translation>
    </message>
    <message>
        <source>Non esiste: %1</source>
        <translation>Does not exist: %1</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 richiede un valore</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>--jobs richiede un numero positivo</source>
        <translation>--jobs needs a positive number</translation>
    </message>
    <message>
        <source>opzione sconosciuta %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>si misura una cartella alla volta</source>
        <translation>only one folder can be measured at a time</translation>
    </message>
    <message>
        <source>indica una CARTELLA oppure --read FILE (vedi --help)</source>
        <translation>give either a FOLDER or --read FILE (see --help)</translation>
    </message>
    <message>
        <source>impossibile scrivere l&apos;output: %1</source>
        <translation>cannot write the output: %1</translation>
    </message>
    <message>
        <source>impossibile leggere %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>--json e --csv si escludono</source>
        <translation>--json and --csv exclude each other</translation>
    </message>
    <message>
        <source>--files richiede almeno un percorso</source>
        <translation>--files needs at least one path</translation>
    </message>
    <message>
        <source>Uso: quillmark-report [--extensions TESTO] [--show-empty] [--json | --csv]
                      [--no-cache] [--jobs N] CARTELLA
     quillmark-report [opzioni] --files PERCORSO...
     quillmark-report [--csv] --read FILE

Misura ogni video di CARTELLA e delle cartelle sotto di essa e stampa il
report, byte per byte ciò che l&apos;app salva come durata.txt.

  --files             misura proprio i file e le cartelle indicati (ogni
                      cartella con tutto ciò che contiene), raggruppati per
                      cartella come in un report

  --extensions TESTO  estensioni separate da virgole, come nel campo dell&apos;app
                      (predefinite: %1)
  --show-empty        elenca anche le cartelle senza file corrispondenti
                      (nascoste se non lo si chiede)
  --json              stampa il risultato in JSON (la forma di --read) invece
                      del testo del report; i totali dei sottoalberi vengono
                      dai secondi misurati
  --csv               stampa un foglio di calcolo (CSV, RFC 4180, UTF-8): una
                      riga per file con cartella, nome, secondi misurati
                      (interi), etichetta, errore e una nota se il percorso non
                      è UTF-8 valido; con --read i secondi restano vuoti,
                      perché un report dice solo i minuti; un testo che un
                      foglio di calcolo prenderebbe per una formula (inizia
                      con =, +, -, @, tab o ritorno a capo) comincia con &apos;
  --no-cache          misura ogni file da capo, senza leggere né scrivere la
                      cache delle durate
                      ($XDG_CACHE_HOME/Quillmark/durations.sqlite)
  --jobs N            misura al più N file alla volta (se non lo si chiede: uno
                      per processore, %2 sui file system di rete e FUSE, dove
                      si elencano anche N cartelle alla volta)
  --read FILE         stampa in JSON ciò che il lettore ricava da un report:
                      {&quot;grandTotalLabel&quot;: ..., &quot;folders&quot;: [{&quot;path&quot;,
                      &quot;totalLabel&quot;, &quot;subtreeTotalLabel&quot;,
                      &quot;subtreeTotalApproximate&quot;, &quot;files&quot;: [{&quot;name&quot;,
                      &quot;durationLabel&quot;, &quot;errorMessage&quot;?}]}]}; il sottoalbero
                      di una cartella è lei e ogni cartella sotto di essa; una
                      somma di più etichette arrotondate è approssimata
  --help              mostra questo testo

Le durate vengono dalle librerie di FFmpeg; i file che queste non leggono
vengono provati con ffprobe. Un file che non si può misurare è elencato con il
suo errore e conta zero. Durante la misura l&apos;avanzamento appare sullo standard
error quando è un terminale.

Ctrl+C interrompe un calcolo: i suoi processi ffprobe terminano e non si stampa
nulla.

Stato di uscita: 0 se riesce, 1 se l&apos;output non si può scrivere, 2 per una riga
di comando sbagliata, una cartella inutilizzabile o illeggibile, un report
illeggibile, un calcolo che non può partire (nessun thread) o memoria
insufficiente, 130 se interrotto.
</source>
        <translation>Usage: quillmark-report [--extensions TEXT] [--show-empty] [--json | --csv]
                        [--no-cache] [--jobs N] FOLDER
       quillmark-report [options] --files PATH...
       quillmark-report [--csv] --read FILE

Measures every video file in FOLDER and the folders below it and prints the
report, byte for byte what the app saves as durata.txt.

  --files            measure exactly the files and folders named (each folder
                     with everything in it), grouped by folder as in a report

  --extensions TEXT  comma-separated extensions, as typed in the app&apos;s field
                     (default: %1)
  --show-empty       also list folders without matching files (hidden by default)
  --json             print the result as JSON (the form --read gives) instead of
                     the report text; subtree totals come from the measured seconds
  --csv              print a spreadsheet (CSV, RFC 4180, UTF-8): one line per file
                     with folder, name, measured seconds (whole), label,
                     error and a note when the path is not valid UTF-8; with
                     --read the seconds stay empty, as a report states minutes only;
                     a text a spreadsheet would take for a formula (it begins
                     with =, +, -, @, a tab or a carriage return) begins with &apos;
  --no-cache         measure every file afresh, without reading or writing the
                     cache of durations ($XDG_CACHE_HOME/Quillmark/durations.sqlite)
  --jobs N           measure at most N files at once (default: one per processor,
                     %2 on network and FUSE file systems, which are also listed
                     N folders at a time)
  --read FILE        print what the report reader makes of a report file, as JSON:
                     {&quot;grandTotalLabel&quot;: ..., &quot;folders&quot;: [{&quot;path&quot;, &quot;totalLabel&quot;,
                     &quot;subtreeTotalLabel&quot;, &quot;subtreeTotalApproximate&quot;, &quot;files&quot;:
                     [{&quot;name&quot;, &quot;durationLabel&quot;, &quot;errorMessage&quot;?}]}]}; a folder&apos;s
                     subtree is it and every folder below it; a sum of several
                     rounded labels is approximate
  --help             show this text

Durations come from FFmpeg&apos;s libraries; files they cannot read are tried with
the ffprobe tool. A file that cannot be measured is listed with its error and
counts as zero. While measuring, progress is shown on standard error when it is
a terminal.

Ctrl+C stops a calculation: its ffprobe processes are ended and nothing is
printed.

Exit status: 0 on success, 1 when the output cannot be written, 2 for a wrong
command line, an unusable or unreadable folder, an unreadable report file, a
run that could not start (no threads) or lack of memory, 130 when interrupted.
</translation>
    </message>
</context>
<context>
    <name>CsvExport</name>
    <message>
        <source>percorso non valido in UTF-8: i byte non validi sono mostrati come �</source>
        <translation>path not valid UTF-8: the invalid bytes are shown as �</translation>
    </message>
    <message>
        <source>Cartella</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Secondi</source>
        <translation>Seconds</translation>
    </message>
    <message>
        <source>Durata</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Errore</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Nota</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>il report mostra un a capo nel percorso come ␤ o ␍</source>
        <translation>the report shows a line break in the path as ␤ or ␍</translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>Mostra</source>
        <translation>Show</translation>
    </message>
</context>
<context>
    <name>DesktopServices</name>
    <message>
        <source>Testo (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <source>Foglio di calcolo CSV (*.csv)</source>
        <translation>CSV spreadsheet (*.csv)</translation>
    </message>
</context>
<context>
    <name>DurationCache</name>
    <message>
        <source>cache delle durate non disponibile (%1)</source>
        <translation>cache of durations not available (%1)</translation>
    </message>
    <message>
        <source>la cache delle durate era danneggiata ed è stata rifatta</source>
        <translation>the cache of durations was damaged and has been made anew</translation>
    </message>
    <message>
        <source>cache delle durate occupata da un altro programma: le nuove durate non sono state salvate</source>
        <translation>cache of durations busy in another program: the new durations were not saved</translation>
    </message>
    <message>
        <source>%1 non è un file o una cartella dell&apos;utente</source>
        <translation>%1 is not a file or folder of the user&apos;s</translation>
    </message>
</context>
<context>
    <name>FFprobe</name>
    <message>
        <source>nessuna risposta entro %1 secondi</source>
        <translation>no answer within %1 seconds</translation>
    </message>
    <message>
        <source>durata non disponibile</source>
        <translation>duration not available</translation>
    </message>
    <message>
        <source>interrotto</source>
        <translation>stopped</translation>
    </message>
</context>
<context>
    <name>FolderCheck</name>
    <message>
        <source>Seleziona una cartella valida.</source>
        <translation>Select a valid folder.</translation>
    </message>
    <message>
        <source>La cartella selezionata non esiste.</source>
        <translation>The selected folder does not exist.</translation>
    </message>
    <message>
        <source>Il percorso indicato non è una cartella.</source>
        <translation>The path given is not a folder.</translation>
    </message>
</context>
<context>
    <name>MediaProbe</name>
    <message>
        <source>«%1» non dice la sua durata in %2 secondi e non viene letto oltre.</source>
        <translation>“%1” does not tell its duration within %2 seconds and is read no further.</translation>
    </message>
    <message>
        <source>«%1» non dice la sua durata nei primi %2 MiB e non viene letto oltre.</source>
        <translation>“%1” does not tell its duration in its first %2 MiB and is read no further.</translation>
    </message>
    <message>
        <source>Impossibile leggere «%1»: %2</source>
        <translation>Cannot read “%1”: %2</translation>
    </message>
    <message>
        <source>le librerie di FFmpeg non si possono caricare</source>
        <translation>the FFmpeg libraries cannot be loaded</translation>
    </message>
    <message>
        <source>interrotto</source>
        <translation>stopped</translation>
    </message>
</context>
<context>
    <name>PlaybackSpeed</name>
    <message>
        <source>,</source>
        <translation>.</translation>
    </message>
    <message>
        <source>%1 a %2</source>
        <translation>%1 at %2</translation>
    </message>
</context>
<context>
    <name>PlaylistJob</name>
    <message>
        <source>Creazione delle playlist in %1…</source>
        <translation>Creating playlists in %1…</translation>
    </message>
    <message numerus="yes">
        <source>%1 di %Ln playlist</source>
        <translation>
            <numerusform>%1 of %Ln playlist</numerusform>
            <numerusform>%1 of %Ln playlists</numerusform>
        </translation>
    </message>
    <message>
        <source>Creazione delle playlist interrotta</source>
        <translation>Playlist creation stopped</translation>
    </message>
    <message>
        <source>Playlist non generate</source>
        <translation>Playlists not generated</translation>
    </message>
    <message>
        <source>Impossibile generare le playlist: %1</source>
        <translation>Cannot create the playlists: %1</translation>
    </message>
    <message>
        <source>Creazione delle playlist interrotta: generate %1 di %2 in %3</source>
        <translation>Playlist creation stopped: %1 of %2 generated in %3</translation>
    </message>
    <message>
        <source>Nessuna playlist generata</source>
        <translation>No playlist generated</translation>
    </message>
    <message>
        <source>Nessun video trovato: nessuna playlist generata.</source>
        <translation>No video found: no playlist created.</translation>
    </message>
    <message numerus="yes">
        <source>Generate %Ln playlist in %1</source>
        <translation>
            <numerusform>Generated %Ln playlist in %1</numerusform>
            <numerusform>Generated %Ln playlists in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %Ln non scritte</source>
        <translation>
            <numerusform>; %Ln not written</numerusform>
            <numerusform>; %Ln not written</numerusform>
        </translation>
    </message>
    <message>
        <source>… e altre %1</source>
        <translation>… and %1 more</translation>
    </message>
</context>
<context>
    <name>Quillmark</name>
    <message>
        <source>opzione sconosciuta %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>si apre una cartella alla volta</source>
        <translation>one folder at a time</translation>
    </message>
    <message>
        <source>nessuno schermo su cui aprire la finestra (DISPLAY e WAYLAND_DISPLAY non sono impostate); per la riga di comando c&apos;è quillmark-report</source>
        <translation>no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); for the command line, there is quillmark-report</translation>
    </message>
    <message>
        <source>--files richiede almeno un percorso</source>
        <translation>--files needs at least one path</translation>
    </message>
    <message>
        <source>Uso: quillmark [--run] [CARTELLA]
     quillmark --files PERCORSO...
Apre la finestra su CARTELLA (se non è indicata, sull&apos;ultima usata); con --run la misura subito. Con --files misura subito proprio i file e le cartelle indicati, raggruppati per cartella.
Per la riga di comando c&apos;è quillmark-report.
</source>
        <translation>Usage: quillmark [--run] [FOLDER]
       quillmark --files PATH...
Opens the window on FOLDER (when none is given, on the last one used); with --run, measures it at once. With --files, measures exactly the files and folders named, grouped by folder, at once.
For the command line, there is quillmark-report.
</translation>
    </message>
</context>
<context>
    <name>RegularFile</name>
    <message>
        <source>un file speciale</source>
        <translation>a special file</translation>
    </message>
    <message>
        <source>una cartella</source>
        <translation>a folder</translation>
    </message>
    <message>
        <source>una pipe (FIFO)</source>
        <translation>a pipe (FIFO)</translation>
    </message>
    <message>
        <source>un dispositivo a caratteri</source>
        <translation>a character device</translation>
    </message>
    <message>
        <source>un dispositivo a blocchi</source>
        <translation>a block device</translation>
    </message>
    <message>
        <source>un socket</source>
        <translation>a socket</translation>
    </message>
    <message>
        <source>«%1» non è un file normale ma %2, quindi non viene letto.</source>
        <translation>“%1” is not a regular file but %2, so it is not read.</translation>
    </message>
</context>
<context>
    <name>ReportFileActions</name>
    <message>
        <source>Non c&apos;è nessun report da salvare. Esegui prima il calcolo.</source>
        <translation>There is no report to save. Run the calculation first.</translation>
    </message>
    <message>
        <source>Salva report</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>Salvataggio del report…</source>
        <translation>Saving the report…</translation>
    </message>
    <message>
        <source>Salvato: %1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>Impossibile salvare il file: %1</source>
        <translation>Cannot save the file: %1</translation>
    </message>
    <message>
        <source>Esportato: %1 (dal report caricato: solo le etichette, senza i secondi)</source>
        <translation>Exported: %1 (from the loaded report: labels only, no seconds)</translation>
    </message>
    <message>
        <source>Esportato: %1</source>
        <translation>Exported: %1</translation>
    </message>
    <message>
        <source>Non c&apos;è nessun report da esportare. Esegui prima il calcolo.</source>
        <translation>There is no report to export. Run the calculation first.</translation>
    </message>
    <message>
        <source>Esporta CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>Esportazione CSV…</source>
        <translation>Exporting CSV…</translation>
    </message>
    <message>
        <source>Impossibile esportare il file: %1</source>
        <translation>Cannot export the file: %1</translation>
    </message>
    <message>
        <source>Non c&apos;è nessun report da copiare.</source>
        <translation>There is no report to copy.</translation>
    </message>
    <message>
        <source>Report copiato negli appunti</source>
        <translation>Report copied to the clipboard</translation>
    </message>
    <message>
        <source>Caricamento del report…</source>
        <translation>Loading the report…</translation>
    </message>
    <message>
        <source>Report non caricato</source>
        <translation>Report not loaded</translation>
    </message>
    <message>
        <source>Impossibile leggere il report: %1</source>
        <translation>Cannot read the report: %1</translation>
    </message>
    <message>
        <source>Nessun report da caricare in %1</source>
        <translation>No report to load in %1</translation>
    </message>
    <message>
        <source>Caricato: %1</source>
        <translation>Loaded: %1</translation>
    </message>
    <message>
        <source>durata della selezione.txt</source>
        <translation>duration of the selection.txt</translation>
    </message>
</context>
<context>
    <name>RunClock</name>
    <message>
        <source> · circa %1 alla fine</source>
        <translation> · about %1 to go</translation>
    </message>
    <message numerus="yes">
        <source>%1 di %Ln file · %2</source>
        <translation>
            <numerusform>%1 of %Ln file · %2</numerusform>
            <numerusform>%1 of %Ln files · %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln cartelle</source>
        <translation>
            <numerusform>%Ln folder</numerusform>
            <numerusform>%Ln folders</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln video trovati</source>
        <translation>
            <numerusform>%Ln video found</numerusform>
            <numerusform>%Ln videos found</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>non è un file normale</source>
        <translation>is not a regular file</translation>
    </message>
    <message>
        <source>è troppo grande</source>
        <translation>is too large</translation>
    </message>
    <message>
        <source>Impostazioni non lette: %1 %2; valgono quelle predefinite e le modifiche non vengono salvate.</source>
        <translation>Settings not read: %1 %2; the defaults apply and changes are not saved.</translation>
    </message>
</context>
<context>
    <name>TextFile</name>
    <message>
        <source>Il file «%1» è troppo grande: più di %2 MiB, non è un report.</source>
        <translation>The file “%1” is too large: over %2 MiB, it is not a report.</translation>
    </message>
    <message>
        <source>Il file «%1» non contiene testo UTF-8 valido.</source>
        <translation>The file “%1” does not hold valid UTF-8 text.</translation>
    </message>
</context>
<context>
    <name>quillmark::CalculationRun</name>
    <message>
        <source>Elaborazione: %1</source>
        <translation>Processing: %1</translation>
    </message>
    <message>
        <source>In esecuzione…</source>
        <translation>Running…</translation>
    </message>
    <message>
        <source>Avvio calcolo su: %1 con estensioni %2</source>
        <translation>Starting the calculation on: %1 with extensions %2</translation>
    </message>
    <message>
        <source>Calcolo interrotto</source>
        <translation>Calculation stopped</translation>
    </message>
    <message>
        <source>Calcolo interrotto: è mostrato il report precedente</source>
        <translation>Calculation stopped: the earlier report is shown</translation>
    </message>
    <message>
        <source>Completato</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Si è verificato un errore: %1</source>
        <translation>An error occurred: %1</translation>
    </message>
    <message>
        <source>Errore: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <source>Errore durante il calcolo</source>
        <translation>Error during the calculation</translation>
    </message>
    <message numerus="yes">
        <source>%n elementi scelti in %1</source>
        <translation>
            <numerusform>%n item chosen in %1</numerusform>
            <numerusform>%n items chosen in %1</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1; %2</translation>
    </message>
    <message numerus="yes">
        <source>Completato: %n elementi scelti in «%1»</source>
        <translation>
            <numerusform>Done: %n item chosen in “%1”</numerusform>
            <numerusform>Done: %n items chosen in “%1”</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillmark::Chips</name>
    <message numerus="yes">
        <source>e altre %Ln: %1</source>
        <translation>
            <numerusform>and one more: %1</numerusform>
            <numerusform>and %Ln more: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillmark::DurationCalculatorViewModel</name>
    <message>
        <source>Pronto</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Pronto. Seleziona una cartella e premi Calcola.</source>
        <translation>Ready. Select a folder and press Calculate.</translation>
    </message>
    <message>
        <source>Errore</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Output pulito. Pronto per una nuova analisi.</source>
        <translation>Output cleared. Ready for a new analysis.</translation>
    </message>
    <message>
        <source>Nessun video %1 in «%2»</source>
        <translation>No %1 videos in “%2”</translation>
    </message>
    <message>
        <source>Il report riguarda «%1»: premi Calcola per misurare «%2».</source>
        <translation>The report is about “%1”: press Calculate to measure “%2”.</translation>
    </message>
    <message>
        <source>Quillmark è in esecuzione in una sandbox %1: ffprobe, un programma del sistema, non può essere avviato. I video vengono misurati solo con le librerie di FFmpeg incluse nell&apos;app.</source>
        <translation>Quillmark runs in a %1 sandbox: ffprobe, a program of the system, cannot be started. Videos are measured with the FFmpeg libraries that come with the app only.</translation>
    </message>
</context>
<context>
    <name>quillmark::FolderActions</name>
    <message>
        <source>il report riguarda un&apos;altra cartella. Premi Calcola per aggiornarlo.</source>
        <translation>the report is about another folder. Press Calculate to update it.</translation>
    </message>
    <message>
        <source>è la tua cartella personale, che non viene mai rinominata.</source>
        <translation>it is your home folder, which is never renamed.</translation>
    </message>
    <message>
        <source>è la cartella radice del file system, che non viene mai rinominata.</source>
        <translation>it is the root of the file system, which is never renamed.</translation>
    </message>
    <message>
        <source>è il punto di montaggio di un disco o di una condivisione, che non viene mai rinominato.</source>
        <translation>it is where a disk or a share is mounted, which is never renamed.</translation>
    </message>
    <message>
        <source>Seleziona cartella</source>
        <translation>Select folder</translation>
    </message>
    <message>
        <source>Caricamento del report…</source>
        <translation>Loading the report…</translation>
    </message>
    <message>
        <source>Caricato: %1</source>
        <translation>Loaded: %1</translation>
    </message>
    <message>
        <source>Impossibile leggere durata.txt: %1</source>
        <translation>Cannot read durata.txt: %1</translation>
    </message>
    <message>
        <source>La cartella %1 non esiste.</source>
        <translation>The folder %1 does not exist.</translation>
    </message>
    <message>
        <source>Impossibile rinominare la cartella: %1</source>
        <translation>Cannot rename the folder: %1</translation>
    </message>
    <message>
        <source>Il nome della cartella contiene già la durata aggiornata</source>
        <translation>The folder&apos;s name already carries the current duration</translation>
    </message>
    <message>
        <source>Rinomina cartella</source>
        <translation>Rename folder</translation>
    </message>
    <message>
        <source>In: %1</source>
        <translation>In: %1</translation>
    </message>
    <message>
        <source>Rinomina</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Rinomina annullata</source>
        <translation>Rename cancelled</translation>
    </message>
    <message>
        <source>Seleziona una cartella valida da aprire.</source>
        <translation>Select a valid folder to open.</translation>
    </message>
    <message>
        <source>Impossibile aprire la cartella: nessun gestore di file è disponibile.</source>
        <translation>Cannot open the folder: no file manager is available.</translation>
    </message>
    <message>
        <source>Rinominare la cartella «%1» in «%2»?</source>
        <translation>Rename the folder “%1” to “%2”?</translation>
    </message>
    <message>
        <source>Cartella rinominata in «%1»</source>
        <translation>Folder renamed to “%1”</translation>
    </message>
</context>
<context>
    <name>quillmark::HeaderBar</name>
    <message>
        <source>Percorso della cartella video</source>
        <translation>Path of the video folder</translation>
    </message>
    <message>
        <source>Sfoglia…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>Apri cartella</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>Rinomina con durata</source>
        <translation>Rename with duration</translation>
    </message>
    <message>
        <source>Crea playlist</source>
        <translation>Create playlists</translation>
    </message>
    <message>
        <source>Salva report…</source>
        <translation>Save report…</translation>
    </message>
    <message>
        <source>Copia report</source>
        <translation>Copy report</translation>
    </message>
    <message>
        <source>Carica report</source>
        <translation>Load report</translation>
    </message>
    <message>
        <source>Pulisci output</source>
        <translation>Clear output</translation>
    </message>
    <message>
        <source>Altre azioni</source>
        <translation>More actions</translation>
    </message>
    <message>
        <source>Calcola</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>Interrompi</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Cartelle recenti</source>
        <translation>Recent folders</translation>
    </message>
    <message>
        <source>Nessuna cartella recente</source>
        <translation>No recent folders</translation>
    </message>
    <message>
        <source>Ricalcola senza cache</source>
        <translation>Recalculate without the cache</translation>
    </message>
    <message>
        <source>Cartella non raggiungibile</source>
        <translation>Folder not reachable</translation>
    </message>
    <message>
        <source>Esporta CSV…</source>
        <translation>Export CSV…</translation>
    </message>
</context>
<context>
    <name>quillmark::Jobs</name>
    <message>
        <source>Il sistema non concede altri thread: riprova tra poco.</source>
        <translation>The system grants no more threads: try again in a moment.</translation>
    </message>
    <message>
        <source>Pronto</source>
        <translation>Ready</translation>
    </message>
</context>
<context>
    <name>quillmark::MainWindow</name>
    <message>
        <source>Esci</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Quillmark: calcolo non riuscito</source>
        <translation>Quillmark: the calculation failed</translation>
    </message>
    <message>
        <source>Quillmark: %1 in «%2»</source>
        <translation>Quillmark: %1 in “%2”</translation>
    </message>
    <message numerus="yes">
        <source>%Ln file non misurati</source>
        <translation>
            <numerusform>%Ln file not measured</numerusform>
            <numerusform>%Ln files not measured</numerusform>
        </translation>
    </message>
    <message>
        <source>Completato</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Completato: gran totale %1</source>
        <translation>Done: grand total %1</translation>
    </message>
</context>
<context>
    <name>quillmark::OptionsBar</name>
    <message>
        <source>es. mp4,mov</source>
        <translation>e.g. mp4,mov</translation>
    </message>
    <message>
        <source>Nascondi cartelle senza video</source>
        <translation>Hide folders without videos</translation>
    </message>
    <message>
        <source>Estensioni</source>
        <translation>Extensions</translation>
    </message>
</context>
<context>
    <name>quillmark::ReportPage</name>
    <message>
        <source>Nessuna analisi ancora</source>
        <translation>No analysis yet</translation>
    </message>
    <message>
        <source>Scegli una cartella con i tuoi video, imposta le estensioni da includere e premi Calcola per vedere qui la durata totale.</source>
        <translation>Choose a folder with your videos, set the extensions to include and press Calculate to see the total duration here.</translation>
    </message>
    <message>
        <source>Scegli cartella…</source>
        <translation>Choose folder…</translation>
    </message>
    <message>
        <source>GRAN TOTALE</source>
        <translation>GRAND TOTAL</translation>
    </message>
    <message>
        <source>ANALIZZATI</source>
        <translation>ANALYSED</translation>
    </message>
    <message>
        <source>REPORT PER CARTELLA</source>
        <translation>REPORT BY FOLDER</translation>
    </message>
    <message>
        <source>Ordinamento naturale</source>
        <translation>Natural order</translation>
    </message>
    <message>
        <source>Per durata, la più lunga prima</source>
        <translation>By duration, longest first</translation>
    </message>
    <message>
        <source>Per durata</source>
        <translation>By duration</translation>
    </message>
    <message numerus="yes">
        <source>%Ln video</source>
        <translation>
            <numerusform>%Ln video</numerusform>
            <numerusform>%Ln videos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln cartelle</source>
        <translation>
            <numerusform>%Ln folder</numerusform>
            <numerusform>%Ln folders</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln errori</source>
        <translation>
            <numerusform>%Ln error</numerusform>
            <numerusform>%Ln errors</numerusform>
        </translation>
    </message>
    <message>
        <source>Nessun video trovato</source>
        <translation>No videos found</translation>
    </message>
    <message>
        <source>Cambia estensioni</source>
        <translation>Change extensions</translation>
    </message>
    <message numerus="yes">
        <source>Selezione: %Ln video</source>
        <translation>
            <numerusform>Selection: %Ln video</numerusform>
            <numerusform>Selection: %Ln videos</numerusform>
        </translation>
    </message>
    <message>
        <source>Velocità di visione: i totali anche a questa velocità</source>
        <translation>Watching speed: the totals also at this speed</translation>
    </message>
    <message>
        <source>Velocità %1</source>
        <translation>Speed %1</translation>
    </message>
    <message>
        <source>Velocità di visione: %1</source>
        <translation>Watching speed: %1</translation>
    </message>
    <message>
        <source>Ordine delle righe: %1</source>
        <translation>Order of the rows: %1</translation>
    </message>
    <message>
        <source>Calcolo in corso</source>
        <translation>Calculating</translation>
    </message>
    <message>
        <source>Riproduci</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Mostra nella cartella</source>
        <translation>Show in folder</translation>
    </message>
    <message>
        <source>Apri</source>
        <translation>Open</translation>
    </message>
    <message numerus="yes">
        <source>Copia %Ln percorsi</source>
        <translation>
            <numerusform>Copy %Ln path</numerusform>
            <numerusform>Copy %Ln paths</numerusform>
        </translation>
    </message>
    <message>
        <source>Copia percorso</source>
        <translation>Copy path</translation>
    </message>
    <message>
        <source>Copia totali</source>
        <translation>Copy totals</translation>
    </message>
    <message>
        <source>Apri tutte le cartelle</source>
        <translation>Open all folders</translation>
    </message>
    <message>
        <source>Chiudi tutte le cartelle</source>
        <translation>Close all folders</translation>
    </message>
</context>
<context>
    <name>quillmark::ReportTreeModel</name>
    <message>
        <source>≈ %1 in tutto</source>
        <translation>≈ %1 in all</translation>
    </message>
    <message>
        <source>%1 in tutto</source>
        <translation>%1 in all</translation>
    </message>
    <message>
        <source>%1% del totale</source>
        <translation>%1% of the total</translation>
    </message>
    <message>
        <source>livello %1</source>
        <translation>level %1</translation>
    </message>
    <message>
        <source>Cartelle e file</source>
        <translation>Folders and files</translation>
    </message>
</context>
<context>
    <name>quillmark::ReportTreeView</name>
    <message>
        <source>%1 aperta</source>
        <translation>%1 open</translation>
    </message>
    <message>
        <source>%1 chiusa</source>
        <translation>%1 closed</translation>
    </message>
    <message numerus="yes">
        <source>Cartelle aperte: %Ln</source>
        <translation>
            <numerusform>Folders opened: %Ln</numerusform>
            <numerusform>Folders opened: %Ln</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cartelle chiuse: %Ln</source>
        <translation>
            <numerusform>Folders closed: %Ln</numerusform>
            <numerusform>Folders closed: %Ln</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillmark::RowActions</name>
    <message>
        <source>Percorso copiato: %1</source>
        <translation>Path copied: %1</translation>
    </message>
    <message numerus="yes">
        <source>%Ln percorsi copiati</source>
        <translation>
            <numerusform>%Ln path copied</numerusform>
            <numerusform>%Ln paths copied</numerusform>
        </translation>
    </message>
    <message>
        <source>Totali di «%1» copiati</source>
        <translation>Totals of “%1” copied</translation>
    </message>
    <message>
        <source>%1 non c&apos;è più: ricalcola per aggiornare il report</source>
        <translation>%1 is no longer there: calculate again to update the report</translation>
    </message>
    <message>
        <source>Nessun programma per riprodurre %1</source>
        <translation>No program to play %1</translation>
    </message>
    <message>
        <source>Nessun gestore di file è disponibile</source>
        <translation>No file manager is available</translation>
    </message>
</context>
<context>
    <name>quillmark::StatusBar</name>
    <message>
        <source>Avanzamento</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Calcolo in corso…</source>
        <translation>Calculating…</translation>
    </message>
    <message>
        <source>Fatto</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Nota</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Errore</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>In corso</source>
        <translation>In progress</translation>
    </message>
</context>
</TS>
