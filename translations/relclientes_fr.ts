<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
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
