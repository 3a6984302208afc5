<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en">
<context>
    <name>L</name>
    <message id="app.name">
        <source>Quorlix</source>
        <translation>Quorlix</translation>
    </message>
    <message id="app.tagline">
        <source>Duplicate photos, found and tidied up.</source>
        <translation>Fotos duplicadas, encontradas y ordenadas.</translation>
    </message>
    <message id="app.byVeltrano">
        <source>by Veltrano</source>
        <translation>de Veltrano</translation>
    </message>
    <message id="empty.title">
        <source>Drop a folder to scan</source>
        <translation>Suelta una carpeta para analizarla</translation>
    </message>
    <message id="empty.body">
        <source>Exact copies and look-alike bursts, found in seconds. Your photos never leave your computer.</source>
        <translation>Copias exactas y ráfagas de fotos parecidas, encontradas en segundos. Tus fotos nunca salen de tu ordenador.</translation>
    </message>
    <message id="empty.privacyNote">
        <source>No upload · No account · No internet needed</source>
        <translation>Sin subidas · Sin cuenta · Sin necesidad de internet</translation>
    </message>
    <message id="empty.chooseFolder">
        <source>Choose folder…</source>
        <translation>Elegir carpeta…</translation>
    </message>
    <message id="scan.title">
        <source>Scanning</source>
        <translation>Analizando</translation>
    </message>
    <message id="scan.enumerating">
        <source>Listing photos</source>
        <translation>Listando fotos</translation>
    </message>
    <message id="scan.hashing">
        <source>Looking for exact copies</source>
        <translation>Buscando copias exactas</translation>
    </message>
    <message id="scan.analyzing">
        <source>Analyzing images</source>
        <translation>Analizando imágenes</translation>
    </message>
    <message id="scan.grouping">
        <source>Grouping look-alikes</source>
        <translation>Agrupando fotos parecidas</translation>
    </message>
    <message id="scan.scoring">
        <source>Electing the best shot</source>
        <translation>Eligiendo la mejor foto</translation>
    </message>
    <message id="scan.cancel">
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message id="scan.counter">
        <source>%d of %d</source>
        <translation>%d de %d</translation>
    </message>
    <message id="results.title">
        <source>Results</source>
        <translation>Resultados</translation>
    </message>
    <message id="results.onePhoto">
        <source>1 photo</source>
        <translation>1 foto</translation>
    </message>
    <message id="results.photos">
        <source>%d photos</source>
        <translation>%d fotos</translation>
    </message>
    <message id="results.oneDuplicate">
        <source>1 duplicate</source>
        <translation>1 duplicado</translation>
    </message>
    <message id="results.duplicates">
        <source>%d duplicates</source>
        <translation>%d duplicados</translation>
    </message>
    <message id="results.reclaimable">
        <source>%@ reclaimable</source>
        <translation>%@ recuperables</translation>
    </message>
    <message id="results.exactSection">
        <source>Exact duplicates</source>
        <translation>Duplicados exactos</translation>
    </message>
    <message id="results.nearSection">
        <source>Look-alike groups</source>
        <translation>Grupos de fotos parecidas</translation>
    </message>
    <message id="results.keepHint">
        <source>Click a photo to keep it instead</source>
        <translation>Haz clic en una foto para quedarte con esa</translation>
    </message>
    <message id="results.shareKeepers">
        <source>Share kept photos</source>
        <translation>Compartir las fotos conservadas</translation>
    </message>
    <message id="results.nothingFound">
        <source>No duplicates here — nice and tidy!</source>
        <translation>Aquí no hay duplicados — ¡todo en orden!</translation>
    </message>
    <message id="results.allDone">
        <source>All sorted — your folder is clean!</source>
        <translation>Listo — ¡tu carpeta está limpia!</translation>
    </message>
    <message id="results.newScan">
        <source>Scan another folder</source>
        <translation>Analizar otra carpeta</translation>
    </message>
    <message id="results.members">
        <source>%d photos</source>
        <translation>%d fotos</translation>
    </message>
    <message id="results.resetAuto">
        <source>Back to automatic pick</source>
        <translation>Volver a la elección automática</translation>
    </message>
    <message id="results.locked">
        <source>Best shot in Veltrano</source>
        <translation>Mejor foto en Veltrano</translation>
    </message>
    <message id="results.lockedHint">
        <source>Veltrano picks the sharpest, best-exposed frame with open eyes in every group — and cleans up the rest.</source>
        <translation>Veltrano elige en cada grupo la foto más nítida, mejor expuesta y con los ojos abiertos — y limpia el resto.</translation>
    </message>
    <message id="results.bestShot">
        <source>Best shot</source>
        <translation>Mejor foto</translation>
    </message>
    <message id="results.keep">
        <source>Keep</source>
        <translation>Conservar</translation>
    </message>
    <message id="results.revealInFileManager">
        <source>Reveal in file manager</source>
        <translation>Mostrar en el gestor de archivos</translation>
    </message>
    <message id="results.score">
        <source>%d/100</source>
        <translation>%d/100</translation>
    </message>
    <message id="move.menu">
        <source>Move the others…</source>
        <translation>Mover las demás…</translation>
    </message>
    <message id="move.toTrash">
        <source>To Trash</source>
        <translation>A la Papelera</translation>
    </message>
    <message id="move.toFolder">
        <source>To a folder…</source>
        <translation>A una carpeta…</translation>
    </message>
    <message id="move.confirmTitleTrash">
        <source>Move the others to the Trash?</source>
        <translation>¿Mover las demás a la Papelera?</translation>
    </message>
    <message id="move.confirmTitleFolder">
        <source>Move the others to the folder?</source>
        <translation>¿Mover las demás a la carpeta?</translation>
    </message>
    <message id="move.exactLine">
        <source>%d exact copies (%@) — identical bytes, nothing is lost.</source>
        <translation>%d copias exactas (%@) — los mismos bytes, no se pierde nada.</translation>
    </message>
    <message id="move.nearLine">
        <source>%d similar shots (%@) — these are different pictures: only the kept one stays.</source>
        <translation>%d fotos parecidas (%@) — son imágenes distintas: solo se queda la conservada.</translation>
    </message>
    <message id="move.keeperLine">
        <source>One photo per group always stays where it is. You can undo right after.</source>
        <translation>En cada grupo una foto se queda siempre donde está. Puedes deshacerlo justo después.</translation>
    </message>
    <message id="move.confirm">
        <source>Move</source>
        <translation>Mover</translation>
    </message>
    <message id="move.cancel">
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message id="move.undo">
        <source>Undo</source>
        <translation>Deshacer</translation>
    </message>
    <message id="move.choosePrompt">
        <source>Move here</source>
        <translation>Mover aquí</translation>
    </message>
    <message id="move.chooseMessage">
        <source>Choose where to move the photos you are not keeping.</source>
        <translation>Elige adónde mover las fotos que no conservas.</translation>
    </message>
    <message id="move.doneTrash">
        <source>%d photos moved to the Trash</source>
        <translation>%d fotos movidas a la Papelera</translation>
    </message>
    <message id="move.doneFolder">
        <source>%d photos moved to the folder</source>
        <translation>%d fotos movidas a la carpeta</translation>
    </message>
    <message id="move.failed">
        <source>%d could not be moved</source>
        <translation>%d no se pudieron mover</translation>
    </message>
    <message id="move.undone">
        <source>%d photos put back</source>
        <translation>%d fotos devueltas a su sitio</translation>
    </message>
    <message id="teaser.lead">
        <source>Duplicates were the easy part. What's next?</source>
        <translation>Los duplicados eran lo fácil. ¿Qué sigue?</translation>
    </message>
    <message id="teaser.cta">
        <source>See it in Veltrano</source>
        <translation>Descúbrelo en Veltrano</translation>
    </message>
    <message id="teaser.bestShotQ">
        <source>Want the best shot picked in every burst?</source>
        <translation>¿Quieres que se elija la mejor foto de cada ráfaga?</translation>
    </message>
    <message id="teaser.bestShotA">
        <source>Sharpness, exposure, open eyes: Veltrano elects the winner in each group and tidies up the rest.</source>
        <translation>Nitidez, exposición, ojos abiertos: Veltrano elige la ganadora de cada grupo y ordena el resto.</translation>
    </message>
    <message id="teaser.peopleQ">
        <source>Want to find everyone by face?</source>
        <translation>¿Quieres encontrar a todos por su cara?</translation>
    </message>
    <message id="teaser.peopleA">
        <source>Name a person once, then search "@Anna at the beach". Faces never leave your Mac.</source>
        <translation>Pon nombre a una persona una vez y luego busca "@Anna en la playa". Las caras nunca salen de tu Mac.</translation>
    </message>
    <message id="teaser.semanticQ">
        <source>Want to search photos by meaning?</source>
        <translation>¿Quieres buscar fotos por su significado?</translation>
    </message>
    <message id="teaser.semanticA">
        <source>"Sunset on the lake with the dog" — no tags, no albums, just type what you remember.</source>
        <translation>"Atardecer en el lago con el perro" — sin etiquetas ni álbumes, solo escribe lo que recuerdas.</translation>
    </message>
    <message id="teaser.renameQ">
        <source>Want files named after what's in them?</source>
        <translation>¿Quieres archivos con el nombre de lo que contienen?</translation>
    </message>
    <message id="teaser.renameA">
        <source>IMG_4821.jpg becomes "Birthday cake, Marco, 2024". AI on-device, batch, reversible.</source>
        <translation>IMG_4821.jpg pasa a ser "Tarta de cumpleaños, Marco, 2024". IA en el dispositivo, por lotes, reversible.</translation>
    </message>
    <message id="teaser.storiesQ">
        <source>Want your photos turned into stories?</source>
        <translation>¿Quieres convertir tus fotos en historias?</translation>
    </message>
    <message id="teaser.storiesA">
        <source>Veltrano writes a narrated photo story from any trip or event, ready to share.</source>
        <translation>Veltrano escribe una historia fotográfica narrada de cualquier viaje o evento, lista para compartir.</translation>
    </message>
    <message id="teaser.iphoneQ">
        <source>Want a verified archive of your iPhone photos?</source>
        <translation>¿Quieres un archivo verificado de las fotos de tu iPhone?</translation>
    </message>
    <message id="teaser.iphoneA">
        <source>Originals and RAW copied to your Mac or external drive, hash-verified, no iCloud needed.</source>
        <translation>Originales y RAW copiados a tu Mac o a un disco externo, verificados con hash, sin necesidad de iCloud.</translation>
    </message>
    <message id="teaser.privacyQ">
        <source>Want all of this without uploading a single photo?</source>
        <translation>¿Quieres todo esto sin subir ni una sola foto?</translation>
    </message>
    <message id="teaser.privacyA">
        <source>Everything runs on your Mac's Neural Engine. No account, no cloud, no upload.</source>
        <translation>Todo funciona en el Neural Engine de tu Mac. Sin cuenta, sin nube, sin subidas.</translation>
    </message>
    <message id="teaser.freeQ">
        <source>Want to try it for free, no strings attached?</source>
        <translation>¿Quieres probarlo gratis, sin compromiso?</translation>
    </message>
    <message id="teaser.freeA">
        <source>Veltrano is free up to 200 photos. After that, a one-time purchase — no subscription, ever.</source>
        <translation>Veltrano es gratis hasta 200 fotos. Después, un único pago — nunca una suscripción.</translation>
    </message>
    <message id="splash.title">
        <source>Done!</source>
        <translation>¡Listo!</translation>
    </message>
    <message id="splash.body">
        <source>%d duplicates found, %@ you can get back.</source>
        <translation>%d duplicados encontrados, %@ que puedes recuperar.</translation>
    </message>
    <message id="splash.shareTitle">
        <source>Show off your tidy library</source>
        <translation>Presume de tu biblioteca ordenada</translation>
    </message>
    <message id="splash.shareBody">
        <source>We made you a card. Post it, tag a friend who hoards screenshots.</source>
        <translation>Te hemos hecho una tarjeta. Publícala y etiqueta a un amigo que acumula capturas de pantalla.</translation>
    </message>
    <message id="splash.shareButton">
        <source>Share result</source>
        <translation>Compartir el resultado</translation>
    </message>
    <message id="splash.upsellTitle">
        <source>This was the warm-up</source>
        <translation>Esto era el calentamiento</translation>
    </message>
    <message id="splash.upsellBody">
        <source>Veltrano finds the best shot in every burst, searches your photos by meaning, renames them with AI and keeps everything private on your Mac.</source>
        <translation>Veltrano encuentra la mejor foto de cada ráfaga, busca tus fotos por su significado, les cambia el nombre con IA y lo mantiene todo privado en tu Mac.</translation>
    </message>
    <message id="splash.upsellButton">
        <source>Discover Veltrano</source>
        <translation>Descubre Veltrano</translation>
    </message>
    <message id="splash.seeResults">
        <source>See the results</source>
        <translation>Ver los resultados</translation>
    </message>
    <message id="share.cardHeadline">
        <source>I just cleaned up my photo library</source>
        <translation>Acabo de limpiar mi biblioteca de fotos</translation>
    </message>
    <message id="share.cardDuplicates">
        <source>duplicates</source>
        <translation>duplicados</translation>
    </message>
    <message id="share.cardReclaim">
        <source>reclaimable</source>
        <translation>recuperables</translation>
    </message>
    <message id="share.cardScanned">
        <source>photos scanned</source>
        <translation>fotos analizadas</translation>
    </message>
    <message id="share.cardPunchline">
        <source>I'm smart, I use Veltrano ;-)</source>
        <translation>Soy listo, uso Veltrano ;-)</translation>
    </message>
    <message id="share.text">
        <source>Just found %d duplicate photos (%@!) in seconds. I'm smart, I use Veltrano ;-) %@ %@</source>
        <translation>Acabo de encontrar %d fotos duplicadas (¡%@!) en segundos. Soy listo, uso Veltrano ;-) %@ %@</translation>
    </message>
    <message id="share.copied">
        <source>Caption copied to clipboard</source>
        <translation>Texto copiado al portapapeles</translation>
    </message>
    <message id="topbar.getVeltrano">
        <source>Get Veltrano</source>
        <translation>Consigue Veltrano</translation>
    </message>
    <message id="topbar.changeFolder">
        <source>Change folder</source>
        <translation>Cambiar carpeta</translation>
    </message>
    <message id="req.line">
        <source>Requires macOS 26.4 and a Mac with Apple silicon (M1 or later)</source>
        <translation>Requiere macOS 26.4 y un Mac con Apple silicon (M1 o posterior)</translation>
    </message>
    <message id="req.compatible">
        <source>Your Mac is compatible with Veltrano (macOS 26.4, Apple silicon)</source>
        <translation>Tu Mac es compatible con Veltrano (macOS 26.4, Apple silicon)</translation>
    </message>
    <message id="req.needsAppleSilicon">
        <source>This Mac has an Intel processor: Veltrano won't run here.</source>
        <translation>Este Mac tiene un procesador Intel: Veltrano no funcionará aquí.</translation>
    </message>
    <message id="req.needsOS">
        <source>This Mac runs %@: update to macOS 26.4 or later to install Veltrano.</source>
        <translation>Este Mac tiene %@: actualiza a macOS 26.4 o posterior para instalar Veltrano.</translation>
    </message>
    <message id="req.needsMac">
        <source>Veltrano runs on a Mac with Apple silicon.</source>
        <translation>Veltrano funciona en un Mac con Apple silicon.</translation>
    </message>
    <message id="error.folderUnreadable">
        <source>The folder could not be read. Check its permissions and try again.</source>
        <translation>No se pudo leer la carpeta. Comprueba sus permisos e inténtalo de nuevo.</translation>
    </message>
    <message id="error.title">
        <source>Something went wrong</source>
        <translation>Algo salió mal</translation>
    </message>
    <message id="error.ok">
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message id="picker.copyImage">
        <source>Copy image</source>
        <translation>Copiar imagen</translation>
    </message>
    <message id="picker.copyFiles">
        <source>Copy files</source>
        <translation>Copiar archivos</translation>
    </message>
    <message id="picker.reveal">
        <source>Show in file manager</source>
        <translation>Mostrar en el gestor de archivos</translation>
    </message>
    <message id="picker.email">
        <source>Send by e-mail</source>
        <translation>Enviar por correo</translation>
    </message>
    <message id="picker.saveCopy">
        <source>Save a copy…</source>
        <translation>Guardar una copia…</translation>
    </message>
    <message id="picker.saveTitle">
        <source>Choose where to save the copy</source>
        <translation>Elige dónde guardar la copia</translation>
    </message>
    <message id="picker.copied">
        <source>Copied to clipboard</source>
        <translation>Copiado al portapapeles</translation>
    </message>
    <message id="picker.saved">
        <source>Saved in %@</source>
        <translation>Guardado en %@</translation>
    </message>
    <message id="picker.cardFailed">
        <source>The share card could not be made. Try again.</source>
        <translation>No se pudo crear la tarjeta para compartir. Inténtalo de nuevo.</translation>
    </message>
    <message id="picker.copyFailed">
        <source>The clipboard did not take the copy. Try again.</source>
        <translation>El portapapeles no aceptó la copia. Inténtalo de nuevo.</translation>
    </message>
    <message id="picker.revealFailed">
        <source>The file manager could not be opened.</source>
        <translation>No se pudo abrir el gestor de archivos.</translation>
    </message>
    <message id="picker.emailFailed">
        <source>The e-mail program could not be started.</source>
        <translation>No se pudo iniciar el programa de correo.</translation>
    </message>
    <message id="picker.saveFailed">
        <source>The copy could not be saved in that folder. Check that you can write there and that it has free space.</source>
        <translation>No se pudo guardar la copia en esa carpeta. Comprueba que puedes escribir en ella y que tiene espacio libre.</translation>
    </message>
    <message id="check.skipped">
        <source>%d left in place: changed since the scan</source>
        <translation>%d se quedaron en su sitio: cambiaron después del análisis</translation>
    </message>
    <message id="check.noTrash">
        <source>%d could not be moved: their drive has no usable Trash</source>
        <translation>%d no se pudieron mover: su disco no tiene una Papelera utilizable</translation>
    </message>
    <message id="check.insideFolder">
        <source>Choose a folder outside the scanned folder: photos moved into it would still be there.</source>
        <translation>Elige una carpeta fuera de la analizada: las fotos movidas dentro seguirían en ella.</translation>
    </message>
    <message id="check.undoBlocked">
        <source>%d could not be put back yet: press Undo to try again</source>
        <translation>%d aún no se pudieron devolver: pulsa Deshacer para reintentarlo</translation>
    </message>
    <message id="check.undoLeft">
        <source>%d left where they were moved: changed or gone since</source>
        <translation>%d se quedaron donde se movieron: cambiaron o desaparecieron desde entonces</translation>
    </message>
    <message id="window.parentFolder">
        <source>Parent folder</source>
        <translation>Carpeta superior</translation>
    </message>
    <message id="window.folderPath">
        <source>Folder path</source>
        <translation>Ruta de la carpeta</translation>
    </message>
    <message id="window.typePath">
        <source>Type a folder path</source>
        <translation>Escribe la ruta de una carpeta</translation>
    </message>
    <message id="window.newFolder">
        <source>New folder</source>
        <translation>Nueva carpeta</translation>
    </message>
    <message id="window.newFolderName">
        <source>Name of the new folder</source>
        <translation>Nombre de la nueva carpeta</translation>
    </message>
    <message id="window.create">
        <source>Create</source>
        <translation>Crear</translation>
    </message>
    <message id="window.subfolders">
        <source>Folders inside</source>
        <translation>Carpetas dentro</translation>
    </message>
    <message id="window.noSubfolders">
        <source>No folders inside</source>
        <translation>No hay carpetas dentro</translation>
    </message>
    <message id="window.noSuchFolder">
        <source>There is no folder at that path.</source>
        <translation>No hay ninguna carpeta en esa ruta.</translation>
    </message>
    <message id="window.folderNotMade">
        <source>The folder could not be made. Check the name and that you can write here.</source>
        <translation>No se pudo crear la carpeta. Comprueba el nombre y que puedes escribir aquí.</translation>
    </message>
    <message id="window.menuFile">
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message id="window.menuEdit">
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message id="window.menuView">
        <source>View</source>
        <translation>Ver</translation>
    </message>
    <message id="window.menuHelp">
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message id="window.quit">
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message id="window.undoMove">
        <source>Undo move</source>
        <translation>Deshacer el traslado</translation>
    </message>
    <message id="window.appearance">
        <source>Appearance</source>
        <translation>Apariencia</translation>
    </message>
    <message id="window.followSystem">
        <source>Same as the system</source>
        <translation>Como el sistema</translation>
    </message>
    <message id="window.light">
        <source>Light</source>
        <translation>Claro</translation>
    </message>
    <message id="window.dark">
        <source>Dark</source>
        <translation>Oscuro</translation>
    </message>
    <message id="window.language">
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message id="window.languageNote">
        <source>The new language applies the next time Quorlix starts.</source>
        <translation>El nuevo idioma se aplica la próxima vez que se inicie Quorlix.</translation>
    </message>
    <message id="window.preferences">
        <source>Preferences…</source>
        <translation>Preferencias…</translation>
    </message>
    <message id="window.about">
        <source>About Quorlix</source>
        <translation>Acerca de Quorlix</translation>
    </message>
    <message id="window.aboutBody">
        <source>Version %@. Finds exact copies and look-alike bursts of photos in a folder and keeps the best one. Licence: %@.</source>
        <translation>Versión %@. Encuentra copias exactas y ráfagas de fotos parecidas en una carpeta y conserva la mejor. Licencia: %@.</translation>
    </message>
    <message id="window.close">
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message id="window.noPhotos">
        <source>No photos found</source>
        <translation>No se encontraron fotos</translation>
    </message>
    <message id="window.noPhotosBody">
        <source>This folder and its subfolders hold no photos Quorlix can read.</source>
        <translation>Esta carpeta y sus subcarpetas no contienen fotos que Quorlix pueda leer.</translation>
    </message>
    <message id="window.topFolder">
        <source>Main folder</source>
        <translation>Carpeta principal</translation>
    </message>
    <message id="window.movedTo">
        <source>Moved to %@</source>
        <translation>Movidas a %@</translation>
    </message>
    <message id="window.previous">
        <source>Previous</source>
        <translation>Anterior</translation>
    </message>
    <message id="window.next">
        <source>Next</source>
        <translation>Siguiente</translation>
    </message>
    <message id="window.keepThis">
        <source>Keep this one</source>
        <translation>Conservar esta</translation>
    </message>
    <message id="window.folder">
        <source>Folder</source>
        <translation>Carpeta</translation>
    </message>
    <message id="window.size">
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message id="window.pixels">
        <source>Pixels</source>
        <translation>Píxeles</translation>
    </message>
    <message id="window.taken">
        <source>Taken</source>
        <translation>Tomada</translation>
    </message>
    <message id="window.score">
        <source>Score</source>
        <translation>Puntuación</translation>
    </message>
    <message id="window.unknown">
        <source>Unknown</source>
        <translation>Desconocido</translation>
    </message>
    <message id="window.keptBecause">
        <source>Kept because: %@</source>
        <translation>Conservada porque: %@</translation>
    </message>
    <message id="window.reasonChosen">
        <source>chosen by you</source>
        <translation>elegida por ti</translation>
    </message>
    <message id="window.reasonFirstCopy">
        <source>first copy by folder and name</source>
        <translation>primera copia por carpeta y nombre</translation>
    </message>
    <message id="window.reasonIntact">
        <source>intact</source>
        <translation>intacta</translation>
    </message>
    <message id="window.reasonEyesOpen">
        <source>eyes open</source>
        <translation>ojos abiertos</translation>
    </message>
    <message id="window.reasonSharpest">
        <source>sharpest</source>
        <translation>la más nítida</translation>
    </message>
    <message id="window.reasonBestExposed">
        <source>best exposed</source>
        <translation>la mejor expuesta</translation>
    </message>
    <message id="window.reasonBestScore">
        <source>highest score</source>
        <translation>puntuación más alta</translation>
    </message>
    <message id="window.reasonLargest">
        <source>largest</source>
        <translation>la más grande</translation>
    </message>
    <message id="window.reasonLeastNoise">
        <source>least noise</source>
        <translation>menos ruido</translation>
    </message>
    <message id="window.reasonMostPleasing">
        <source>most pleasing</source>
        <translation>la más agradable</translation>
    </message>
    <message id="window.reasonMostFaces">
        <source>most faces</source>
        <translation>más caras</translation>
    </message>
    <message id="window.reasonBestOverall">
        <source>best overall</source>
        <translation>mejor en conjunto</translation>
    </message>
    <message id="window.damaged">
        <source>This file is damaged; it was only partly read.</source>
        <translation>Este archivo está dañado; solo se leyó en parte.</translation>
    </message>
    <message id="window.movedToFolder">
        <source>%d photos moved to “%@”</source>
        <translation>%d fotos movidas a “%@”</translation>
    </message>
    <message id="prefs.forgetCache">
        <source>Forget cached analyses</source>
        <translation>Olvidar los análisis guardados</translation>
    </message>
    <message id="prefs.cacheSize">
        <source>Cached analyses: %@</source>
        <translation>Análisis guardados: %@</translation>
    </message>
    <message id="prefs.forgetCacheFailed">
        <source>The cached analyses could not all be removed.</source>
        <translation>No se pudieron quitar todos los análisis guardados.</translation>
    </message>
</context>
</TS>
