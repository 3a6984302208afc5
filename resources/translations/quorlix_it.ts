<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en">
<context>
    <name>L</name>
    <message id="app.name">
        <source>Quorlix</source>
        <translation>Quorlix</translation>
    </message>
    <message id="app.tagline">
        <source>Duplicate photos, found and tidied up.</source>
        <translation>Foto doppie, trovate e messe in ordine.</translation>
    </message>
    <message id="app.byVeltrano">
        <source>by Veltrano</source>
        <translation>di Veltrano</translation>
    </message>
    <message id="empty.title">
        <source>Drop a folder to scan</source>
        <translation>Trascina qui una cartella da analizzare</translation>
    </message>
    <message id="empty.body">
        <source>Exact copies and look-alike bursts, found in seconds. Your photos never leave your computer.</source>
        <translation>Copie identiche e raffiche di scatti simili, trovate in pochi secondi. Le tue foto non lasciano mai il tuo computer.</translation>
    </message>
    <message id="empty.privacyNote">
        <source>No upload · No account · No internet needed</source>
        <translation>Nessun caricamento · Nessun account · Internet non serve</translation>
    </message>
    <message id="empty.chooseFolder">
        <source>Choose folder…</source>
        <translation>Scegli cartella…</translation>
    </message>
    <message id="scan.title">
        <source>Scanning</source>
        <translation>Analisi in corso</translation>
    </message>
    <message id="scan.enumerating">
        <source>Listing photos</source>
        <translation>Elenco delle foto</translation>
    </message>
    <message id="scan.hashing">
        <source>Looking for exact copies</source>
        <translation>Ricerca delle copie identiche</translation>
    </message>
    <message id="scan.analyzing">
        <source>Analyzing images</source>
        <translation>Analisi delle immagini</translation>
    </message>
    <message id="scan.grouping">
        <source>Grouping look-alikes</source>
        <translation>Raggruppamento delle foto simili</translation>
    </message>
    <message id="scan.scoring">
        <source>Electing the best shot</source>
        <translation>Scelta dello scatto migliore</translation>
    </message>
    <message id="scan.cancel">
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message id="scan.counter">
        <source>%d of %d</source>
        <translation>%d di %d</translation>
    </message>
    <message id="results.title">
        <source>Results</source>
        <translation>Risultati</translation>
    </message>
    <message id="results.onePhoto">
        <source>1 photo</source>
        <translation>1 foto</translation>
    </message>
    <message id="results.photos">
        <source>%d photos</source>
        <translation>%d foto</translation>
    </message>
    <message id="results.oneDuplicate">
        <source>1 duplicate</source>
        <translation>1 doppione</translation>
    </message>
    <message id="results.duplicates">
        <source>%d duplicates</source>
        <translation>%d doppioni</translation>
    </message>
    <message id="results.reclaimable">
        <source>%@ reclaimable</source>
        <translation>%@ recuperabili</translation>
    </message>
    <message id="results.exactSection">
        <source>Exact duplicates</source>
        <translation>Doppioni identici</translation>
    </message>
    <message id="results.nearSection">
        <source>Look-alike groups</source>
        <translation>Gruppi di foto simili</translation>
    </message>
    <message id="results.keepHint">
        <source>Click a photo to keep it instead</source>
        <translation>Fai clic su una foto per tenere quella</translation>
    </message>
    <message id="results.shareKeepers">
        <source>Share kept photos</source>
        <translation>Condividi le foto tenute</translation>
    </message>
    <message id="results.nothingFound">
        <source>No duplicates here — nice and tidy!</source>
        <translation>Nessun doppione qui — tutto in ordine!</translation>
    </message>
    <message id="results.allDone">
        <source>All sorted — your folder is clean!</source>
        <translation>Fatto — la tua cartella è in ordine!</translation>
    </message>
    <message id="results.newScan">
        <source>Scan another folder</source>
        <translation>Analizza un'altra cartella</translation>
    </message>
    <message id="results.members">
        <source>%d photos</source>
        <translation>%d foto</translation>
    </message>
    <message id="results.resetAuto">
        <source>Back to automatic pick</source>
        <translation>Torna alla scelta automatica</translation>
    </message>
    <message id="results.locked">
        <source>Best shot in Veltrano</source>
        <translation>Scatto migliore in Veltrano</translation>
    </message>
    <message id="results.lockedHint">
        <source>Veltrano picks the sharpest, best-exposed frame with open eyes in every group — and cleans up the rest.</source>
        <translation>Veltrano sceglie in ogni gruppo lo scatto più nitido, meglio esposto e con gli occhi aperti — e fa pulizia del resto.</translation>
    </message>
    <message id="results.bestShot">
        <source>Best shot</source>
        <translation>Scatto migliore</translation>
    </message>
    <message id="results.keep">
        <source>Keep</source>
        <translation>Tieni</translation>
    </message>
    <message id="results.revealInFileManager">
        <source>Reveal in file manager</source>
        <translation>Mostra nel file manager</translation>
    </message>
    <message id="results.score">
        <source>%d/100</source>
        <translation>%d/100</translation>
    </message>
    <message id="move.menu">
        <source>Move the others…</source>
        <translation>Sposta le altre…</translation>
    </message>
    <message id="move.toTrash">
        <source>To Trash</source>
        <translation>Nel Cestino</translation>
    </message>
    <message id="move.toFolder">
        <source>To a folder…</source>
        <translation>In una cartella…</translation>
    </message>
    <message id="move.confirmTitleTrash">
        <source>Move the others to the Trash?</source>
        <translation>Spostare le altre nel Cestino?</translation>
    </message>
    <message id="move.confirmTitleFolder">
        <source>Move the others to the folder?</source>
        <translation>Spostare le altre nella cartella?</translation>
    </message>
    <message id="move.exactLine">
        <source>%d exact copies (%@) — identical bytes, nothing is lost.</source>
        <translation>%d copie identiche (%@) — stessi byte, non si perde nulla.</translation>
    </message>
    <message id="move.nearLine">
        <source>%d similar shots (%@) — these are different pictures: only the kept one stays.</source>
        <translation>%d scatti simili (%@) — sono foto diverse: resta solo quella tenuta.</translation>
    </message>
    <message id="move.keeperLine">
        <source>One photo per group always stays where it is. You can undo right after.</source>
        <translation>In ogni gruppo una foto resta sempre al suo posto. Puoi annullare subito dopo.</translation>
    </message>
    <message id="move.confirm">
        <source>Move</source>
        <translation>Sposta</translation>
    </message>
    <message id="move.cancel">
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message id="move.undo">
        <source>Undo</source>
        <translation>Annulla</translation>
    </message>
    <message id="move.choosePrompt">
        <source>Move here</source>
        <translation>Sposta qui</translation>
    </message>
    <message id="move.chooseMessage">
        <source>Choose where to move the photos you are not keeping.</source>
        <translation>Scegli dove spostare le foto che non tieni.</translation>
    </message>
    <message id="move.doneTrash">
        <source>%d photos moved to the Trash</source>
        <translation>%d foto spostate nel Cestino</translation>
    </message>
    <message id="move.doneFolder">
        <source>%d photos moved to the folder</source>
        <translation>%d foto spostate nella cartella</translation>
    </message>
    <message id="move.failed">
        <source>%d could not be moved</source>
        <translation>%d non spostate</translation>
    </message>
    <message id="move.undone">
        <source>%d photos put back</source>
        <translation>%d foto rimesse al loro posto</translation>
    </message>
    <message id="teaser.lead">
        <source>Duplicates were the easy part. What's next?</source>
        <translation>I doppioni erano la parte facile. E adesso?</translation>
    </message>
    <message id="teaser.cta">
        <source>See it in Veltrano</source>
        <translation>Scoprilo in Veltrano</translation>
    </message>
    <message id="teaser.bestShotQ">
        <source>Want the best shot picked in every burst?</source>
        <translation>Vuoi lo scatto migliore scelto in ogni raffica?</translation>
    </message>
    <message id="teaser.bestShotA">
        <source>Sharpness, exposure, open eyes: Veltrano elects the winner in each group and tidies up the rest.</source>
        <translation>Nitidezza, esposizione, occhi aperti: Veltrano elegge la vincitrice di ogni gruppo e mette in ordine il resto.</translation>
    </message>
    <message id="teaser.peopleQ">
        <source>Want to find everyone by face?</source>
        <translation>Vuoi trovare tutti dal volto?</translation>
    </message>
    <message id="teaser.peopleA">
        <source>Name a person once, then search "@Anna at the beach". Faces never leave your Mac.</source>
        <translation>Dai un nome a una persona una volta, poi cerca "@Anna al mare". I volti non lasciano mai il tuo Mac.</translation>
    </message>
    <message id="teaser.semanticQ">
        <source>Want to search photos by meaning?</source>
        <translation>Vuoi cercare le foto per significato?</translation>
    </message>
    <message id="teaser.semanticA">
        <source>"Sunset on the lake with the dog" — no tags, no albums, just type what you remember.</source>
        <translation>"Tramonto sul lago con il cane" — niente tag, niente album, scrivi solo quello che ricordi.</translation>
    </message>
    <message id="teaser.renameQ">
        <source>Want files named after what's in them?</source>
        <translation>Vuoi file chiamati come ciò che contengono?</translation>
    </message>
    <message id="teaser.renameA">
        <source>IMG_4821.jpg becomes "Birthday cake, Marco, 2024". AI on-device, batch, reversible.</source>
        <translation>IMG_4821.jpg diventa "Torta di compleanno, Marco, 2024". IA sul dispositivo, in blocco, reversibile.</translation>
    </message>
    <message id="teaser.storiesQ">
        <source>Want your photos turned into stories?</source>
        <translation>Vuoi trasformare le tue foto in storie?</translation>
    </message>
    <message id="teaser.storiesA">
        <source>Veltrano writes a narrated photo story from any trip or event, ready to share.</source>
        <translation>Veltrano scrive una storia fotografica narrata da ogni viaggio o evento, pronta da condividere.</translation>
    </message>
    <message id="teaser.iphoneQ">
        <source>Want a verified archive of your iPhone photos?</source>
        <translation>Vuoi un archivio verificato delle foto del tuo iPhone?</translation>
    </message>
    <message id="teaser.iphoneA">
        <source>Originals and RAW copied to your Mac or external drive, hash-verified, no iCloud needed.</source>
        <translation>Originali e RAW copiati sul tuo Mac o su un disco esterno, verificati con hash, senza bisogno di iCloud.</translation>
    </message>
    <message id="teaser.privacyQ">
        <source>Want all of this without uploading a single photo?</source>
        <translation>Vuoi tutto questo senza caricare nemmeno una foto?</translation>
    </message>
    <message id="teaser.privacyA">
        <source>Everything runs on your Mac's Neural Engine. No account, no cloud, no upload.</source>
        <translation>Tutto gira sul Neural Engine del tuo Mac. Nessun account, nessun cloud, nessun caricamento.</translation>
    </message>
    <message id="teaser.freeQ">
        <source>Want to try it for free, no strings attached?</source>
        <translation>Vuoi provarlo gratis, senza vincoli?</translation>
    </message>
    <message id="teaser.freeA">
        <source>Veltrano is free up to 200 photos. After that, a one-time purchase — no subscription, ever.</source>
        <translation>Veltrano è gratuito fino a 200 foto. Poi un solo acquisto — mai un abbonamento.</translation>
    </message>
    <message id="splash.title">
        <source>Done!</source>
        <translation>Fatto!</translation>
    </message>
    <message id="splash.body">
        <source>%d duplicates found, %@ you can get back.</source>
        <translation>%d doppioni trovati, %@ che puoi recuperare.</translation>
    </message>
    <message id="splash.shareTitle">
        <source>Show off your tidy library</source>
        <translation>Mostra la tua libreria in ordine</translation>
    </message>
    <message id="splash.shareBody">
        <source>We made you a card. Post it, tag a friend who hoards screenshots.</source>
        <translation>Ti abbiamo preparato una card. Pubblicala e tagga un amico che accumula screenshot.</translation>
    </message>
    <message id="splash.shareButton">
        <source>Share result</source>
        <translation>Condividi il risultato</translation>
    </message>
    <message id="splash.upsellTitle">
        <source>This was the warm-up</source>
        <translation>Questo era il riscaldamento</translation>
    </message>
    <message id="splash.upsellBody">
        <source>Veltrano finds the best shot in every burst, searches your photos by meaning, renames them with AI and keeps everything private on your Mac.</source>
        <translation>Veltrano trova lo scatto migliore in ogni raffica, cerca le tue foto per significato, le rinomina con l'IA e tiene tutto privato sul tuo Mac.</translation>
    </message>
    <message id="splash.upsellButton">
        <source>Discover Veltrano</source>
        <translation>Scopri Veltrano</translation>
    </message>
    <message id="splash.seeResults">
        <source>See the results</source>
        <translation>Vedi i risultati</translation>
    </message>
    <message id="share.cardHeadline">
        <source>I just cleaned up my photo library</source>
        <translation>Ho appena fatto pulizia nella mia libreria di foto</translation>
    </message>
    <message id="share.cardDuplicates">
        <source>duplicates</source>
        <translation>doppioni</translation>
    </message>
    <message id="share.cardReclaim">
        <source>reclaimable</source>
        <translation>recuperabili</translation>
    </message>
    <message id="share.cardScanned">
        <source>photos scanned</source>
        <translation>foto analizzate</translation>
    </message>
    <message id="share.cardPunchline">
        <source>I'm smart, I use Veltrano ;-)</source>
        <translation>Sono furbo, uso Veltrano ;-)</translation>
    </message>
    <message id="share.text">
        <source>Just found %d duplicate photos (%@!) in seconds. I'm smart, I use Veltrano ;-) %@ %@</source>
        <translation>Ho appena trovato %d foto doppie (%@!) in pochi secondi. Sono furbo, uso Veltrano ;-) %@ %@</translation>
    </message>
    <message id="share.copied">
        <source>Caption copied to clipboard</source>
        <translation>Didascalia copiata negli appunti</translation>
    </message>
    <message id="topbar.getVeltrano">
        <source>Get Veltrano</source>
        <translation>Scarica Veltrano</translation>
    </message>
    <message id="topbar.changeFolder">
        <source>Change folder</source>
        <translation>Cambia cartella</translation>
    </message>
    <message id="req.line">
        <source>Requires macOS 26.4 and a Mac with Apple silicon (M1 or later)</source>
        <translation>Richiede macOS 26.4 e un Mac con Apple silicon (M1 o successivo)</translation>
    </message>
    <message id="req.compatible">
        <source>Your Mac is compatible with Veltrano (macOS 26.4, Apple silicon)</source>
        <translation>Il tuo Mac è compatibile con Veltrano (macOS 26.4, Apple silicon)</translation>
    </message>
    <message id="req.needsAppleSilicon">
        <source>This Mac has an Intel processor: Veltrano won't run here.</source>
        <translation>Questo Mac ha un processore Intel: Veltrano non funziona qui.</translation>
    </message>
    <message id="req.needsOS">
        <source>This Mac runs %@: update to macOS 26.4 or later to install Veltrano.</source>
        <translation>Questo Mac ha %@: aggiorna a macOS 26.4 o successivo per installare Veltrano.</translation>
    </message>
    <message id="req.needsMac">
        <source>Veltrano runs on a Mac with Apple silicon.</source>
        <translation>Veltrano funziona su un Mac con Apple silicon.</translation>
    </message>
    <message id="error.folderUnreadable">
        <source>The folder could not be read. Check its permissions and try again.</source>
        <translation>Non è stato possibile leggere la cartella. Controlla i permessi e riprova.</translation>
    </message>
    <message id="error.title">
        <source>Something went wrong</source>
        <translation>Qualcosa è andato storto</translation>
    </message>
    <message id="error.ok">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="picker.copyImage">
        <source>Copy image</source>
        <translation>Copia immagine</translation>
    </message>
    <message id="picker.copyFiles">
        <source>Copy files</source>
        <translation>Copia file</translation>
    </message>
    <message id="picker.reveal">
        <source>Show in file manager</source>
        <translation>Mostra nel file manager</translation>
    </message>
    <message id="picker.email">
        <source>Send by e-mail</source>
        <translation>Invia per e-mail</translation>
    </message>
    <message id="picker.saveCopy">
        <source>Save a copy…</source>
        <translation>Salva una copia…</translation>
    </message>
    <message id="picker.saveTitle">
        <source>Choose where to save the copy</source>
        <translation>Scegli dove salvare la copia</translation>
    </message>
    <message id="picker.copied">
        <source>Copied to clipboard</source>
        <translation>Copiato negli appunti</translation>
    </message>
    <message id="picker.saved">
        <source>Saved in %@</source>
        <translation>Salvato in %@</translation>
    </message>
    <message id="picker.cardFailed">
        <source>The share card could not be made. Try again.</source>
        <translation>Non è stato possibile creare la scheda da condividere. Riprova.</translation>
    </message>
    <message id="picker.copyFailed">
        <source>The clipboard did not take the copy. Try again.</source>
        <translation>Gli appunti non hanno accettato la copia. Riprova.</translation>
    </message>
    <message id="picker.revealFailed">
        <source>The file manager could not be opened.</source>
        <translation>Non è stato possibile aprire il file manager.</translation>
    </message>
    <message id="picker.emailFailed">
        <source>The e-mail program could not be started.</source>
        <translation>Non è stato possibile avviare il programma di posta.</translation>
    </message>
    <message id="picker.saveFailed">
        <source>The copy could not be saved in that folder. Check that you can write there and that it has free space.</source>
        <translation>Non è stato possibile salvare la copia in quella cartella. Controlla di poterci scrivere e che abbia spazio libero.</translation>
    </message>
    <message id="check.skipped">
        <source>%d left in place: changed since the scan</source>
        <translation>%d lasciate al loro posto: cambiate dopo la scansione</translation>
    </message>
    <message id="check.noTrash">
        <source>%d could not be moved: their drive has no usable Trash</source>
        <translation>%d non spostate: il loro disco non ha un Cestino utilizzabile</translation>
    </message>
    <message id="check.insideFolder">
        <source>Choose a folder outside the scanned folder: photos moved into it would still be there.</source>
        <translation>Scegli una cartella fuori da quella analizzata: le foto spostate lì dentro resterebbero nella cartella.</translation>
    </message>
    <message id="check.undoBlocked">
        <source>%d could not be put back yet: press Undo to try again</source>
        <translation>%d non ancora rimesse a posto: premi Annulla per riprovare</translation>
    </message>
    <message id="check.undoLeft">
        <source>%d left where they were moved: changed or gone since</source>
        <translation>%d lasciate dove erano state spostate: cambiate o sparite nel frattempo</translation>
    </message>
    <message id="window.parentFolder">
        <source>Parent folder</source>
        <translation>Cartella superiore</translation>
    </message>
    <message id="window.folderPath">
        <source>Folder path</source>
        <translation>Percorso della cartella</translation>
    </message>
    <message id="window.typePath">
        <source>Type a folder path</source>
        <translation>Scrivi il percorso di una cartella</translation>
    </message>
    <message id="window.newFolder">
        <source>New folder</source>
        <translation>Nuova cartella</translation>
    </message>
    <message id="window.newFolderName">
        <source>Name of the new folder</source>
        <translation>Nome della nuova cartella</translation>
    </message>
    <message id="window.create">
        <source>Create</source>
        <translation>Crea</translation>
    </message>
    <message id="window.subfolders">
        <source>Folders inside</source>
        <translation>Cartelle contenute</translation>
    </message>
    <message id="window.noSubfolders">
        <source>No folders inside</source>
        <translation>Nessuna cartella dentro</translation>
    </message>
    <message id="window.noSuchFolder">
        <source>There is no folder at that path.</source>
        <translation>Non c'è nessuna cartella in quel percorso.</translation>
    </message>
    <message id="window.folderNotMade">
        <source>The folder could not be made. Check the name and that you can write here.</source>
        <translation>Non è stato possibile creare la cartella. Controlla il nome e di poter scrivere qui.</translation>
    </message>
    <message id="window.menuFile">
        <source>File</source>
        <translation>File</translation>
    </message>
    <message id="window.menuEdit">
        <source>Edit</source>
        <translation>Modifica</translation>
    </message>
    <message id="window.menuView">
        <source>View</source>
        <translation>Vista</translation>
    </message>
    <message id="window.menuHelp">
        <source>Help</source>
        <translation>Aiuto</translation>
    </message>
    <message id="window.quit">
        <source>Quit</source>
        <translation>Esci</translation>
    </message>
    <message id="window.undoMove">
        <source>Undo move</source>
        <translation>Annulla spostamento</translation>
    </message>
    <message id="window.appearance">
        <source>Appearance</source>
        <translation>Aspetto</translation>
    </message>
    <message id="window.followSystem">
        <source>Same as the system</source>
        <translation>Come il sistema</translation>
    </message>
    <message id="window.light">
        <source>Light</source>
        <translation>Chiaro</translation>
    </message>
    <message id="window.dark">
        <source>Dark</source>
        <translation>Scuro</translation>
    </message>
    <message id="window.language">
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message id="window.languageNote">
        <source>The new language applies the next time Quorlix starts.</source>
        <translation>La nuova lingua si applica al prossimo avvio di Quorlix.</translation>
    </message>
    <message id="window.preferences">
        <source>Preferences…</source>
        <translation>Preferenze…</translation>
    </message>
    <message id="window.about">
        <source>About Quorlix</source>
        <translation>Informazioni su Quorlix</translation>
    </message>
    <message id="window.aboutBody">
        <source>Version %@. Finds exact copies and look-alike bursts of photos in a folder and keeps the best one. Licence: %@.</source>
        <translation>Versione %@. Trova copie identiche e raffiche di scatti simili in una cartella e tiene la foto migliore. Licenza: %@.</translation>
    </message>
    <message id="window.close">
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message id="window.noPhotos">
        <source>No photos found</source>
        <translation>Nessuna foto trovata</translation>
    </message>
    <message id="window.noPhotosBody">
        <source>This folder and its subfolders hold no photos Quorlix can read.</source>
        <translation>Questa cartella e le sue sottocartelle non contengono foto che Quorlix sappia leggere.</translation>
    </message>
    <message id="window.topFolder">
        <source>Main folder</source>
        <translation>Cartella principale</translation>
    </message>
    <message id="window.movedTo">
        <source>Moved to %@</source>
        <translation>Spostate in %@</translation>
    </message>
    <message id="window.previous">
        <source>Previous</source>
        <translation>Precedente</translation>
    </message>
    <message id="window.next">
        <source>Next</source>
        <translation>Successiva</translation>
    </message>
    <message id="window.keepThis">
        <source>Keep this one</source>
        <translation>Tieni questa</translation>
    </message>
    <message id="window.folder">
        <source>Folder</source>
        <translation>Cartella</translation>
    </message>
    <message id="window.size">
        <source>Size</source>
        <translation>Dimensione</translation>
    </message>
    <message id="window.pixels">
        <source>Pixels</source>
        <translation>Pixel</translation>
    </message>
    <message id="window.taken">
        <source>Taken</source>
        <translation>Scattata</translation>
    </message>
    <message id="window.score">
        <source>Score</source>
        <translation>Punteggio</translation>
    </message>
    <message id="window.unknown">
        <source>Unknown</source>
        <translation>Sconosciuto</translation>
    </message>
    <message id="window.keptBecause">
        <source>Kept because: %@</source>
        <translation>Tenuta perché: %@</translation>
    </message>
    <message id="window.reasonChosen">
        <source>chosen by you</source>
        <translation>scelta da te</translation>
    </message>
    <message id="window.reasonFirstCopy">
        <source>first copy by folder and name</source>
        <translation>prima copia per cartella e nome</translation>
    </message>
    <message id="window.reasonIntact">
        <source>intact</source>
        <translation>integra</translation>
    </message>
    <message id="window.reasonEyesOpen">
        <source>eyes open</source>
        <translation>occhi aperti</translation>
    </message>
    <message id="window.reasonSharpest">
        <source>sharpest</source>
        <translation>la più nitida</translation>
    </message>
    <message id="window.reasonBestExposed">
        <source>best exposed</source>
        <translation>la meglio esposta</translation>
    </message>
    <message id="window.reasonBestScore">
        <source>highest score</source>
        <translation>punteggio più alto</translation>
    </message>
    <message id="window.reasonLargest">
        <source>largest</source>
        <translation>la più grande</translation>
    </message>
    <message id="window.reasonLeastNoise">
        <source>least noise</source>
        <translation>meno rumore</translation>
    </message>
    <message id="window.reasonMostPleasing">
        <source>most pleasing</source>
        <translation>la più gradevole</translation>
    </message>
    <message id="window.reasonMostFaces">
        <source>most faces</source>
        <translation>più volti</translation>
    </message>
    <message id="window.reasonBestOverall">
        <source>best overall</source>
        <translation>migliore nel complesso</translation>
    </message>
    <message id="window.damaged">
        <source>This file is damaged; it was only partly read.</source>
        <translation>Questo file è danneggiato; è stato letto solo in parte.</translation>
    </message>
    <message id="window.movedToFolder">
        <source>%d photos moved to “%@”</source>
        <translation>%d foto spostate in “%@”</translation>
    </message>
    <message id="prefs.forgetCache">
        <source>Forget cached analyses</source>
        <translation>Dimentica le analisi in cache</translation>
    </message>
    <message id="prefs.cacheSize">
        <source>Cached analyses: %@</source>
        <translation>Analisi in cache: %@</translation>
    </message>
    <message id="prefs.forgetCacheFailed">
        <source>The cached analyses could not all be removed.</source>
        <translation>Non è stato possibile rimuovere tutte le analisi in cache.</translation>
    </message>
</context>
</TS>
