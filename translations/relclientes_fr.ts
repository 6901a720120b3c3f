<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Lecteur</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Inconnu</translation>
    </message>
</context>
<context>
    <name>app</name>
    <message>
        <source>Usage: relclientes [--export FILE [--city CITY | --from REPORT.rpf]]
       relclientes REPORT.rpf | --demo | --version | --help

With no options, opens the dialog of clients by city; with a saved report file, shows its pages
in the preview window.

  FILE.rpf          opens a saved report file in the preview window
  --export FILE     makes the report without windows and writes FILE as its extension says:
                    .rpf  the report file with every page
                    .pdf  every page in one PDF
                    .png  one image per page (FILE1.png, FILE2.png, ...)
                    .xlsx the data in an Excel spreadsheet, one row per client
                    .csv  the same data as text separated by semicolons
  --city CITY       only the clients of that city (the exact text); without it, every city
  --from REPORT     writes the pages of a saved report instead of making it (no database)
  --demo            creates the demonstration database and the configuration that uses it, where
                    missing (an existing configuration is never replaced)
  --version         shows the program&apos;s version
  --help            shows this help

The database comes from the configuration in $RELCLIENTES_ENGINE_CONFIG or, without it,
in ~/.config/relclientes/engine.cfg; &quot;man relclientes&quot; describes the file.
Each option counts once. If FILE is a symbolic link, the file it points to is replaced
and the link stays.

On an error the message goes to the standard error, the exit status is not zero
(1: making or writing failed, or no database is configured; 2: invalid command line)
and no existing file is left half-written.
</source>
        <translation>Usage : relclientes [--export FICHIER [--city VILLE | --from RAPPORT.rpf]]
        relclientes RAPPORT.rpf | --demo | --version | --help

Sans option, ouvre la boîte de dialogue des clients par ville ; avec un fichier de rapport enregistré,
affiche ses pages dans l&apos;aperçu.

  FICHIER.rpf       ouvre un fichier de rapport enregistré dans l&apos;aperçu
  --export FICHIER  produit le rapport sans fenêtre et écrit FICHIER selon son extension :
                    .rpf  le fichier de rapport avec toutes les pages
                    .pdf  toutes les pages dans un seul PDF
                    .png  une image par page (FICHIER1.png, FICHIER2.png, ...)
                    .xlsx les données dans un classeur Excel, une ligne par client
                    .csv  les mêmes données en texte séparé par des points-virgules
  --city VILLE      seulement les clients de cette ville (le texte exact) ; sans elle, toutes les villes
  --from RAPPORT    écrit les pages d&apos;un rapport enregistré au lieu de le produire (sans base de données)
  --demo            crée la base de données de démonstration et la configuration qui l&apos;utilise, si elles
                    manquent (une configuration existante n&apos;est jamais remplacée)
  --version         affiche la version du programme
  --help            affiche cette aide

La base de données vient de la configuration de $RELCLIENTES_ENGINE_CONFIG ou, sans elle,
de ~/.config/relclientes/engine.cfg ; &quot;man relclientes&quot; décrit le fichier.
Chaque option compte une fois. Si FICHIER est un lien symbolique, le fichier vers lequel il pointe
est remplacé et le lien reste.

En cas d&apos;erreur le message va sur la sortie d&apos;erreur, le code de sortie n&apos;est pas zéro
(1 : échec de la production ou de l&apos;écriture, ou aucune base de données configurée ;
2 : ligne de commande non valide) et aucun fichier existant n&apos;est laissé à moitié écrit.
</translation>
    </message>
    <message>
        <source>cannot write %s (%s)</source>
        <translation>impossible d&apos;écrire %s (%s)</translation>
    </message>
    <message>
        <source>%d page(s) written to %s</source>
        <translation>%d page(s) écrite(s) dans %s</translation>
    </message>
    <message>
        <source>--city does not apply to a saved report (--from)</source>
        <translation>--city ne s&apos;applique pas à un rapport enregistré (--from)</translation>
    </message>
    <message>
        <source>repeated option: %s</source>
        <translation>option répétée : %s</translation>
    </message>
    <message>
        <source>invalid argument: %s</source>
        <translation>argument non valide : %s</translation>
    </message>
    <message>
        <source>missing --export FILE</source>
        <translation>il manque --export FICHIER</translation>
    </message>
    <message>
        <source>unknown extension &quot;%s&quot; (use .rpf, .pdf, .png, .xlsx or .csv)</source>
        <translation>extension inconnue &quot;%s&quot; (utilisez .rpf, .pdf, .png, .xlsx ou .csv)</translation>
    </message>
    <message>
        <source>To create a demonstration database and its configuration: relclientes --demo</source>
        <translation>Pour créer une base de données de démonstration et sa configuration : relclientes --demo</translation>
    </message>
    <message>
        <source>user &quot;%s&quot; of %s</source>
        <translation>utilisateur &quot;%s&quot; de %s</translation>
    </message>
    <message>
        <source>making the report was cancelled</source>
        <translation>production annulée</translation>
    </message>
    <message>
        <source>the server asks for the password of %s; without windows it comes from PostgreSQL&apos;s password file (~/.pgpass or PGPASSFILE) or from PGPASSWORD</source>
        <translation>le serveur demande le mot de passe de l&apos;%s ; sans fenêtre il vient du fichier de mots de passe de PostgreSQL (~/.pgpass ou PGPASSFILE) ou de PGPASSWORD</translation>
    </message>
    <message>
        <source>cannot create the folder %s (%s)</source>
        <translation>impossible de créer le dossier %s (%s)</translation>
    </message>
    <message>
        <source>No database is configured.
The configuration is kept in the file %s (or in the file that the variable RELCLIENTES_ENGINE_CONFIG names). It gives the alias VERANTO the clients&apos; database: the path (PATH) of an SQLite file or a PostgreSQL server (TYPE=POSTGRESQL, HOST, DATABASE NAME). See &quot;man relclientes&quot;.</source>
        <translation>Aucune base de données n&apos;est configurée.
La configuration se trouve dans le fichier %s (ou dans le fichier qu&apos;indique la variable RELCLIENTES_ENGINE_CONFIG). Elle donne à l&apos;alias VERANTO la base de données des clients : le chemin (PATH) d&apos;un fichier SQLite ou un serveur PostgreSQL (TYPE=POSTGRESQL, HOST, DATABASE NAME). Voir &quot;man relclientes&quot;.</translation>
    </message>
    <message>
        <source>cannot create the demonstration database: %s</source>
        <translation>impossible de créer la base de données de démonstration : %s</translation>
    </message>
    <message>
        <source>Demonstration database created: %s (%d clients)</source>
        <translation>Base de données de démonstration créée : %s (%d clients)</translation>
    </message>
    <message>
        <source>Configuration created: %s (alias VERANTO: %s)</source>
        <translation>Configuration créée : %s (alias VERANTO : %s)</translation>
    </message>
    <message>
        <source>Existing configuration kept: %s</source>
        <translation>Configuration existante conservée : %s</translation>
    </message>
    <message>
        <source>Clients by City</source>
        <translation>Clients par ville</translation>
    </message>
    <message>
        <source>Create a demonstration database now, with made-up clients, and the configuration that uses it?</source>
        <translation>Créer maintenant une base de données de démonstration, avec des clients fictifs, et la configuration qui l&apos;utilise ?</translation>
    </message>
    <message>
        <source>Create demonstration</source>
        <translation>Créer la démonstration</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>&quot;%s&quot; is not a report file</source>
        <translation>&quot;%s&quot; n&apos;est pas un fichier de rapport</translation>
    </message>
    <message>
        <source>&quot;%s&quot; is a report file of version %d of the format; this program reads version 3 only</source>
        <translation>&quot;%s&quot; est un fichier de rapport de la version %d du format ; ce programme ne lit que la version 3</translation>
    </message>
    <message>
        <source>the report file &quot;%s&quot; is incomplete: it ends before the end of the report</source>
        <translation>le fichier de rapport &quot;%s&quot; est incomplet : il se termine avant la fin du rapport</translation>
    </message>
    <message>
        <source>the report file &quot;%s&quot; is damaged on page %d</source>
        <translation>le fichier de rapport &quot;%s&quot; est endommagé à la page %d</translation>
    </message>
    <message>
        <source>the report file &quot;%s&quot; is damaged</source>
        <translation>le fichier de rapport &quot;%s&quot; est endommagé</translation>
    </message>
    <message>
        <source>cannot read &quot;%s&quot; (%s)</source>
        <translation>impossible de lire &quot;%s&quot; (%s)</translation>
    </message>
    <message>
        <source>Open report</source>
        <translation>Ouvrir un rapport</translation>
    </message>
    <message>
        <source>Clients of every city</source>
        <translation>Clients de toutes les villes</translation>
    </message>
    <message>
        <source>Clients of %s</source>
        <translation>Clients de %s</translation>
    </message>
</context>
<context>
    <name>core</name>
    <message>
        <source>Cannot create file &quot;%s&quot;: %s</source>
        <translation>Impossible de créer le fichier &quot;%s&quot; : %s</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;: %s</source>
        <translation>Impossible d&apos;écrire le fichier &quot;%s&quot; : %s</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%s&quot;: it was discarded</source>
        <translation>Impossible de créer le fichier &quot;%s&quot; : il a été abandonné</translation>
    </message>
</context>
<context>
    <name>data</name>
    <message>
        <source>Database Login</source>
        <translation>Connexion à la base de données</translation>
    </message>
    <message>
        <source>Database:</source>
        <translation>Base de données :</translation>
    </message>
    <message>
        <source>&amp;User Name:</source>
        <translation>&amp;Utilisateur :</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Mot de passe :</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Enter password</source>
        <translation>Saisissez le mot de passe</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Ajouter</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Retirer</translation>
    </message>
    <message>
        <source>Re&amp;move all</source>
        <translation>Retirer &amp;tout</translation>
    </message>
</context>
<context>
    <name>engine</name>
    <message>
        <source>Operation completed.</source>
        <translation>Opération terminée.</translation>
    </message>
    <message>
        <source>The engine configuration file does not exist.</source>
        <translation>Le fichier de configuration du moteur n&apos;existe pas.</translation>
    </message>
    <message>
        <source>The engine configuration file is not valid.</source>
        <translation>Le fichier de configuration du moteur n&apos;est pas valide.</translation>
    </message>
    <message>
        <source>The database file does not exist.</source>
        <translation>Le fichier de la base de données n&apos;existe pas.</translation>
    </message>
    <message>
        <source>The file is not a database.</source>
        <translation>Le fichier n&apos;est pas une base de données.</translation>
    </message>
    <message>
        <source>The database file cannot be opened.</source>
        <translation>Impossible d&apos;ouvrir le fichier de la base de données.</translation>
    </message>
    <message>
        <source>The database server cannot be reached.</source>
        <translation>Le serveur de la base de données est injoignable.</translation>
    </message>
    <message>
        <source>The database does not exist on the server.</source>
        <translation>La base de données n&apos;existe pas sur le serveur.</translation>
    </message>
    <message>
        <source>The database engine library was not found.</source>
        <translation>La bibliothèque du moteur de base de données est introuvable.</translation>
    </message>
    <message>
        <source>The database engine library could not be loaded.</source>
        <translation>Impossible de charger la bibliothèque du moteur de base de données.</translation>
    </message>
    <message>
        <source>At beginning of table.</source>
        <translation>Au début de la table.</translation>
    </message>
    <message>
        <source>At end of table.</source>
        <translation>À la fin de la table.</translation>
    </message>
    <message>
        <source>No current record.</source>
        <translation>Aucun enregistrement courant.</translation>
    </message>
    <message>
        <source>Unknown database alias.</source>
        <translation>Alias de base de données inconnu.</translation>
    </message>
    <message>
        <source>Table does not exist.</source>
        <translation>La table n&apos;existe pas.</translation>
    </message>
    <message>
        <source>Column does not exist.</source>
        <translation>La colonne n&apos;existe pas.</translation>
    </message>
    <message>
        <source>A constraint of the table was violated.</source>
        <translation>Une contrainte de la table a été violée.</translation>
    </message>
    <message>
        <source>Insufficient memory for this operation.</source>
        <translation>Mémoire insuffisante pour cette opération.</translation>
    </message>
    <message>
        <source>Invalid handle.</source>
        <translation>Descripteur non valide.</translation>
    </message>
    <message>
        <source>Invalid parameter.</source>
        <translation>Paramètre non valide.</translation>
    </message>
    <message>
        <source>The database engine is not initialised.</source>
        <translation>Le moteur de base de données n&apos;est pas initialisé.</translation>
    </message>
    <message>
        <source>The object has no such property.</source>
        <translation>L&apos;objet n&apos;a pas cette propriété.</translation>
    </message>
    <message>
        <source>The statement is not prepared.</source>
        <translation>L&apos;instruction n&apos;est pas préparée.</translation>
    </message>
    <message>
        <source>Driver type not supported.</source>
        <translation>Type de pilote non pris en charge.</translation>
    </message>
    <message>
        <source>Invalid bookmark.</source>
        <translation>Signet non valide.</translation>
    </message>
    <message>
        <source>The text is not valid UTF-8.</source>
        <translation>Le texte n&apos;est pas de l&apos;UTF-8 valide.</translation>
    </message>
    <message>
        <source>The property cannot be changed.</source>
        <translation>La propriété ne peut pas être modifiée.</translation>
    </message>
    <message>
        <source>Operation not available.</source>
        <translation>Opération non disponible.</translation>
    </message>
    <message>
        <source>Password needed.</source>
        <translation>Un mot de passe est nécessaire.</translation>
    </message>
    <message>
        <source>The database is read only.</source>
        <translation>La base de données est en lecture seule.</translation>
    </message>
    <message>
        <source>The login was cancelled.</source>
        <translation>La connexion a été annulée.</translation>
    </message>
    <message>
        <source>The server refused the user name or password.</source>
        <translation>Le serveur a refusé l&apos;utilisateur ou le mot de passe.</translation>
    </message>
    <message>
        <source>The database is locked by another user.</source>
        <translation>La base de données est verrouillée par un autre utilisateur.</translation>
    </message>
    <message>
        <source>The connection to the database server was lost.</source>
        <translation>La connexion au serveur de la base de données a été perdue.</translation>
    </message>
    <message>
        <source>The database engine is already initialised.</source>
        <translation>Le moteur de base de données est déjà initialisé.</translation>
    </message>
    <message>
        <source>Invalid SQL statement.</source>
        <translation>Instruction SQL non valide.</translation>
    </message>
    <message>
        <source>Error in SQL statement.</source>
        <translation>Erreur dans l&apos;instruction SQL.</translation>
    </message>
    <message>
        <source>The statement returns no records.</source>
        <translation>L&apos;instruction ne renvoie aucun enregistrement.</translation>
    </message>
    <message>
        <source>The database server did not answer in time.</source>
        <translation>Le serveur de la base de données n&apos;a pas répondu à temps.</translation>
    </message>
</context>
<context>
    <name>graphics</name>
    <message>
        <source>Unknown picture format</source>
        <translation>Format d&apos;image inconnu</translation>
    </message>
    <message>
        <source>Cannot write the picture: %s</source>
        <translation>Impossible d&apos;écrire l&apos;image : %s</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%s&quot;</source>
        <translation>Impossible d&apos;ouvrir le fichier &quot;%s&quot;</translation>
    </message>
    <message>
        <source>Not enough memory for a bitmap of %d x %d</source>
        <translation>Mémoire insuffisante pour une image de %d x %d</translation>
    </message>
</context>
<context>
    <name>lookup</name>
    <message>
        <source>Invalid input value. Use escape key to abandon changes</source>
        <translation>Valeur non valide. Utilisez la touche Échap pour abandonner les modifications</translation>
    </message>
</context>
<context>
    <name>output</name>
    <message>
        <source>The file &quot;%s&quot; already exists.
Do you want to replace it?</source>
        <translation>Le fichier &quot;%s&quot; existe déjà.
Voulez-vous le remplacer ?</translation>
    </message>
    <message>
        <source>Another print or save is still running along this same way; wait for it to end and try again.</source>
        <translation>Une autre impression ou un autre enregistrement est encore en cours par ce même chemin ; attendez qu&apos;il se termine et réessayez.</translation>
    </message>
    <message>
        <source>Show or hide the report&apos;s groups</source>
        <translation>Afficher ou masquer les groupes du rapport</translation>
    </message>
    <message>
        <source>Cannot create the temporary folder for the attachment: %s</source>
        <translation>Impossible de créer le dossier temporaire de la pièce jointe : %s</translation>
    </message>
    <message>
        <source>xdg-email did not understand the request</source>
        <translation>xdg-email n&apos;a pas compris la demande</translation>
    </message>
    <message>
        <source>xdg-email did not find the attached file</source>
        <translation>xdg-email n&apos;a pas trouvé le fichier joint</translation>
    </message>
    <message>
        <source>no e-mail program is set up on this desktop</source>
        <translation>aucun programme de messagerie n&apos;est configuré sur ce bureau</translation>
    </message>
    <message>
        <source>the e-mail program could not be opened</source>
        <translation>le programme de messagerie n&apos;a pas pu être ouvert</translation>
    </message>
    <message>
        <source>xdg-email ended with status %d</source>
        <translation>xdg-email a terminé avec le code %d</translation>
    </message>
    <message>
        <source>Cannot open the e-mail program (%s): %s</source>
        <translation>Impossible d&apos;ouvrir le programme de messagerie (%s) : %s</translation>
    </message>
    <message>
        <source>Sending by e-mail is not available: xdg-email (package xdg-utils), which opens the e-mail program, is missing.</source>
        <translation>L&apos;envoi par courriel n&apos;est pas disponible : il manque xdg-email (paquet xdg-utils), qui ouvre le programme de messagerie.</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Rapport</translation>
    </message>
    <message>
        <source>Cannot send the report by e-mail: %s.</source>
        <translation>Impossible d&apos;envoyer le rapport par courriel : %s.</translation>
    </message>
    <message>
        <source>This report has no data for a spreadsheet: no detail band with texts was printed in it (a report opened from an .rpf file keeps only the pages).</source>
        <translation>Ce rapport n&apos;a pas de données pour un tableur : aucune bande de détail avec des textes n&apos;y a été imprimée (un rapport ouvert depuis un fichier .rpf ne garde que les pages).</translation>
    </message>
</context>
<context>
    <name>pages</name>
    <message>
        <source>Cannot read file &quot;%s&quot;: %s</source>
        <translation>Impossible de lire le fichier &quot;%s&quot; : %s</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;: %s</source>
        <translation>Impossible d&apos;écrire le fichier &quot;%s&quot; : %s</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%s&quot;: %s</source>
        <translation>Impossible de créer le fichier &quot;%s&quot; : %s</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%s&quot;: %s</source>
        <translation>Impossible d&apos;ouvrir le fichier &quot;%s&quot; : %s</translation>
    </message>
    <message>
        <source>Cannot create a temporary file in &quot;%s&quot;</source>
        <translation>Impossible de créer un fichier temporaire dans &quot;%s&quot;</translation>
    </message>
</context>
<context>
    <name>pdf</name>
    <message>
        <source>Cannot create file &quot;%s&quot;: %s</source>
        <translation>Impossible de créer le fichier &quot;%s&quot; : %s</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;</source>
        <translation>Impossible d&apos;écrire le fichier &quot;%s&quot;</translation>
    </message>
</context>
<context>
    <name>printing</name>
    <message>
        <source>Printing in progress</source>
        <translation>Impression en cours</translation>
    </message>
    <message>
        <source>There is no default printer currently selected</source>
        <translation>Aucune imprimante par défaut n&apos;est sélectionnée</translation>
    </message>
    <message>
        <source>Printer selected is not valid</source>
        <translation>L&apos;imprimante sélectionnée n&apos;est pas valide</translation>
    </message>
    <message>
        <source>Printer selected is not valid: </source>
        <translation>L&apos;imprimante sélectionnée n&apos;est pas valide : </translation>
    </message>
    <message>
        <source>Printer is not currently printing</source>
        <translation>L&apos;imprimante n&apos;est pas en train d&apos;imprimer</translation>
    </message>
    <message>
        <source>Printer error</source>
        <translation>Erreur d&apos;imprimante</translation>
    </message>
    <message>
        <source>Printer error: </source>
        <translation>Erreur d&apos;imprimante : </translation>
    </message>
    <message>
        <source>The printing library cannot be loaded: </source>
        <translation>Impossible de charger la bibliothèque d&apos;impression : </translation>
    </message>
    <message>
        <source>The printing library lacks a function of print jobs</source>
        <translation>Il manque à la bibliothèque d&apos;impression une fonction des travaux d&apos;impression</translation>
    </message>
</context>
</TS>
