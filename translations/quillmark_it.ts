<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="it_IT">
<context>
    <name>AppError</name>
    <message>
        <source>ffprobe non è riuscito ad analizzare %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>memoria insufficiente</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Errore sconosciuto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Formato non supportato da libavformat: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ffprobe non trovato. Configura il percorso (es. /usr/bin/ffprobe).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppPreferences</name>
    <message>
        <source>ffprobe_path ignorato: «%1» non è un percorso assoluto, ffprobe viene cercato nei percorsi abituali.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CalculationEngine</name>
    <message>
        <source>Impossibile avviare il calcolo: il sistema non concede altri thread.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cartella non leggibile (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossibile leggere la cartella %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Non esiste: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 richiede un valore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--jobs richiede un numero positivo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>opzione sconosciuta %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>si misura una cartella alla volta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>indica una CARTELLA oppure --read FILE (vedi --help)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>impossibile scrivere l&apos;output: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>impossibile leggere %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--json e --csv si escludono</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--files richiede almeno un percorso</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CsvExport</name>
    <message>
        <source>percorso non valido in UTF-8: i byte non validi sono mostrati come �</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cartella</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Secondi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Durata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Errore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nota</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>il report mostra un a capo nel percorso come ␤ o ␍</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DesktopNotifier</name>
    <message>
        <source>Mostra</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DesktopServices</name>
    <message>
        <source>Testo (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Foglio di calcolo CSV (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DurationCache</name>
    <message>
        <source>cache delle durate non disponibile (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cache delle durate occupata da un altro programma: le nuove durate non sono state salvate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 non è un file o una cartella dell&apos;utente</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>la cache delle durate era danneggiata ed è stata rifatta</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FFprobe</name>
    <message>
        <source>interrotto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nessuna risposta entro %1 secondi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>durata non disponibile</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderCheck</name>
    <message>
        <source>Seleziona una cartella valida.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>La cartella selezionata non esiste.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Il percorso indicato non è una cartella.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MediaProbe</name>
    <message>
        <source>«%1» non dice la sua durata in %2 secondi e non viene letto oltre.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>«%1» non dice la sua durata nei primi %2 MiB e non viene letto oltre.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossibile leggere «%1»: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>le librerie di FFmpeg non si possono caricare</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>interrotto</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PlaybackSpeed</name>
    <message>
        <source>,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 a %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PlaylistJob</name>
    <message>
        <source>Creazione delle playlist in %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 di %Ln playlist</source>
        <translation>
            <numerusform>%1 di %Ln playlist</numerusform>
            <numerusform>%1 di %Ln playlist</numerusform>
        </translation>
    </message>
    <message>
        <source>Creazione delle playlist interrotta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Playlist non generate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossibile generare le playlist: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Creazione delle playlist interrotta: generate %1 di %2 in %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nessuna playlist generata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nessun video trovato: nessuna playlist generata.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Generate %Ln playlist in %1</source>
        <translation>
            <numerusform>Generata %Ln playlist in %1</numerusform>
            <numerusform>Generate %Ln playlist in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %Ln non scritte</source>
        <translation>
            <numerusform>; %Ln non scritta</numerusform>
            <numerusform>; %Ln non scritte</numerusform>
        </translation>
    </message>
    <message>
        <source>… e altre %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Quillmark</name>
    <message>
        <source>opzione sconosciuta %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>si apre una cartella alla volta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nessuno schermo su cui aprire la finestra (DISPLAY e WAYLAND_DISPLAY non sono impostate); per la riga di comando c&apos;è quillmark-report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--files richiede almeno un percorso</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uso: quillmark [--run] [CARTELLA]
     quillmark --files PERCORSO...
Apre la finestra su CARTELLA (se non è indicata, sull&apos;ultima usata); con --run la misura subito. Con --files misura subito proprio i file e le cartelle indicati, raggruppati per cartella.
Per la riga di comando c&apos;è quillmark-report.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RegularFile</name>
    <message>
        <source>un file speciale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>una cartella</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>una pipe (FIFO)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>un dispositivo a caratteri</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>un dispositivo a blocchi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>un socket</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>«%1» non è un file normale ma %2, quindi non viene letto.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReportFileActions</name>
    <message>
        <source>Non c&apos;è nessun report da salvare. Esegui prima il calcolo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Salva report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Salvataggio del report…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Salvato: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossibile salvare il file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esportato: %1 (dal report caricato: solo le etichette, senza i secondi)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esportato: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Non c&apos;è nessun report da esportare. Esegui prima il calcolo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esporta CSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esportazione CSV…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossibile esportare il file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Non c&apos;è nessun report da copiare.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report copiato negli appunti</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Caricamento del report…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report non caricato</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossibile leggere il report: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nessun report da caricare in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Caricato: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>durata della selezione.txt</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RunClock</name>
    <message numerus="yes">
        <source>%1 di %Ln file · %2</source>
        <translation>
            <numerusform>%1 di %Ln file · %2</numerusform>
            <numerusform>%1 di %Ln file · %2</numerusform>
        </translation>
    </message>
    <message>
        <source> · circa %1 alla fine</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%Ln cartelle</source>
        <translation>
            <numerusform>%Ln cartella</numerusform>
            <numerusform>%Ln cartelle</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln video trovati</source>
        <translation>
            <numerusform>%Ln video trovato</numerusform>
            <numerusform>%Ln video trovati</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>non è un file normale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>è troppo grande</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impostazioni non lette: %1 %2; valgono quelle predefinite e le modifiche non vengono salvate.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TextFile</name>
    <message>
        <source>Il file «%1» è troppo grande: più di %2 MiB, non è un report.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Il file «%1» non contiene testo UTF-8 valido.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::CalculationRun</name>
    <message>
        <source>Elaborazione: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In esecuzione…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Avvio calcolo su: %1 con estensioni %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calcolo interrotto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calcolo interrotto: è mostrato il report precedente</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completato</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Si è verificato un errore: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Errore: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Errore durante il calcolo</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n elementi scelti in %1</source>
        <translation>
            <numerusform>%n elemento scelto in %1</numerusform>
            <numerusform>%n elementi scelti in %1</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Completato: %n elementi scelti in «%1»</source>
        <translation>
            <numerusform>Completato: %n elemento scelto in «%1»</numerusform>
            <numerusform>Completato: %n elementi scelti in «%1»</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillmark::Chips</name>
    <message numerus="yes">
        <source>e altre %Ln: %1</source>
        <translation>
            <numerusform>e un&apos;altra: %1</numerusform>
            <numerusform>e altre %Ln: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillmark::DurationCalculatorViewModel</name>
    <message>
        <source>Pronto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pronto. Seleziona una cartella e premi Calcola.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Errore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nessun video %1 in «%2»</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Il report riguarda «%1»: premi Calcola per misurare «%2».</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Output pulito. Pronto per una nuova analisi.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quillmark è in esecuzione in una sandbox %1: ffprobe, un programma del sistema, non può essere avviato. I video vengono misurati solo con le librerie di FFmpeg incluse nell&apos;app.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::FolderActions</name>
    <message>
        <source>il report riguarda un&apos;altra cartella. Premi Calcola per aggiornarlo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>è la tua cartella personale, che non viene mai rinominata.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>è la cartella radice del file system, che non viene mai rinominata.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>è il punto di montaggio di un disco o di una condivisione, che non viene mai rinominato.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seleziona cartella</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Caricamento del report…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Caricato: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossibile leggere durata.txt: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>La cartella %1 non esiste.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossibile rinominare la cartella: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Il nome della cartella contiene già la durata aggiornata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rinomina cartella</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rinomina</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Annulla</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rinomina annullata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seleziona una cartella valida da aprire.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Impossibile aprire la cartella: nessun gestore di file è disponibile.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rinominare la cartella «%1» in «%2»?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cartella rinominata in «%1»</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::HeaderBar</name>
    <message>
        <source>Percorso della cartella video</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sfoglia…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apri cartella</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rinomina con durata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crea playlist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Salva report…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copia report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Carica report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pulisci output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ricalcola senza cache</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cartelle recenti</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Altre azioni</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interrompi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calcola</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cartella non raggiungibile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nessuna cartella recente</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esporta CSV…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::Jobs</name>
    <message>
        <source>Il sistema non concede altri thread: riprova tra poco.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pronto</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::MainWindow</name>
    <message>
        <source>Esci</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quillmark: calcolo non riuscito</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quillmark: %1 in «%2»</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%Ln file non misurati</source>
        <translation>
            <numerusform>%Ln file non misurato</numerusform>
            <numerusform>%Ln file non misurati</numerusform>
        </translation>
    </message>
    <message>
        <source>Completato</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completato: gran totale %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::OptionsBar</name>
    <message>
        <source>es. mp4,mov</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nascondi cartelle senza video</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Estensioni</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::ReportPage</name>
    <message numerus="yes">
        <source>%Ln video</source>
        <translation>
            <numerusform>%Ln video</numerusform>
            <numerusform>%Ln video</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln cartelle</source>
        <translation>
            <numerusform>%Ln cartella</numerusform>
            <numerusform>%Ln cartelle</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln errori</source>
        <translation>
            <numerusform>%Ln errore</numerusform>
            <numerusform>%Ln errori</numerusform>
        </translation>
    </message>
    <message>
        <source>Ordinamento naturale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Per durata, la più lunga prima</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Per durata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nessuna analisi ancora</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scegli una cartella con i tuoi video, imposta le estensioni da includere e premi Calcola per vedere qui la durata totale.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scegli cartella…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nessun video trovato</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cambia estensioni</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GRAN TOTALE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ANALIZZATI</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REPORT PER CARTELLA</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Selezione: %Ln video</source>
        <translation>
            <numerusform>Selezione: %Ln video</numerusform>
            <numerusform>Selezione: %Ln video</numerusform>
        </translation>
    </message>
    <message>
        <source>Velocità di visione: i totali anche a questa velocità</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Velocità %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Velocità di visione: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ordine delle righe: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calcolo in corso</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Riproduci</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mostra nella cartella</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apri</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Copia %Ln percorsi</source>
        <translation>
            <numerusform>Copia %Ln percorso</numerusform>
            <numerusform>Copia %Ln percorsi</numerusform>
        </translation>
    </message>
    <message>
        <source>Copia percorso</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copia totali</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apri tutte le cartelle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chiudi tutte le cartelle</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::ReportTreeModel</name>
    <message>
        <source>≈ %1 in tutto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in tutto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1% del totale</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>livello %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cartelle e file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::ReportTreeView</name>
    <message>
        <source>%1 aperta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 chiusa</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Cartelle aperte: %Ln</source>
        <translation>
            <numerusform>Cartelle aperte: %Ln</numerusform>
            <numerusform>Cartelle aperte: %Ln</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cartelle chiuse: %Ln</source>
        <translation>
            <numerusform>Cartelle chiuse: %Ln</numerusform>
            <numerusform>Cartelle chiuse: %Ln</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillmark::RowActions</name>
    <message>
        <source>Percorso copiato: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%Ln percorsi copiati</source>
        <translation>
            <numerusform>%Ln percorso copiato</numerusform>
            <numerusform>%Ln percorsi copiati</numerusform>
        </translation>
    </message>
    <message>
        <source>Totali di «%1» copiati</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 non c&apos;è più: ricalcola per aggiornare il report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nessun programma per riprodurre %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nessun gestore di file è disponibile</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>quillmark::StatusBar</name>
    <message>
        <source>Avanzamento</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calcolo in corso…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fatto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nota</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Errore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In corso</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
