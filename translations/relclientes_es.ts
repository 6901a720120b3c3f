<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <translation>Carpeta</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Unidad</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconocido</translation>
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
        <translation>Uso: relclientes [--export ARCHIVO [--city CIUDAD | --from INFORME.rpf]]
     relclientes INFORME.rpf | --demo | --version | --help

Sin opciones, abre el diálogo de clientes por ciudad; con un archivo de informe guardado,
muestra sus páginas en la vista previa.

  ARCHIVO.rpf       abre un archivo de informe guardado en la vista previa
  --export ARCHIVO  genera el informe sin ventanas y escribe ARCHIVO según su extensión:
                    .rpf  el archivo de informe con todas las páginas
                    .pdf  todas las páginas en un único PDF
                    .png  una imagen por página (ARCHIVO1.png, ARCHIVO2.png, ...)
                    .xlsx los datos en una hoja de cálculo de Excel, una fila por cliente
                    .csv  los mismos datos en texto separado por punto y coma
  --city CIUDAD     solo los clientes de esa ciudad (el texto exacto); sin ella, todas las ciudades
  --from INFORME    escribe las páginas de un informe guardado en lugar de generarlo (sin base de datos)
  --demo            crea la base de datos de demostración y la configuración que la usa, si faltan
                    (una configuración existente nunca se reemplaza)
  --version         muestra la versión del programa
  --help            muestra esta ayuda

La base de datos viene de la configuración en $RELCLIENTES_ENGINE_CONFIG o, sin ella,
en ~/.config/relclientes/engine.cfg; &quot;man relclientes&quot; describe el archivo.
Cada opción vale una vez. Si ARCHIVO es un enlace simbólico, se reemplaza el archivo al que
apunta y el enlace se mantiene.

En caso de error el mensaje va a la salida de errores, el código de salida no es cero
(1: fallo al generar o escribir, o ninguna base de datos configurada; 2: línea de órdenes no válida)
y ningún archivo existente queda a medias.
</translation>
    </message>
    <message>
        <source>cannot write %s (%s)</source>
        <translation>no se pudo escribir %s (%s)</translation>
    </message>
    <message>
        <source>%d page(s) written to %s</source>
        <translation>%d página(s) escrita(s) en %s</translation>
    </message>
    <message>
        <source>--city does not apply to a saved report (--from)</source>
        <translation>--city no se aplica a un informe guardado (--from)</translation>
    </message>
    <message>
        <source>repeated option: %s</source>
        <translation>opción repetida: %s</translation>
    </message>
    <message>
        <source>invalid argument: %s</source>
        <translation>argumento no válido: %s</translation>
    </message>
    <message>
        <source>missing --export FILE</source>
        <translation>falta --export ARCHIVO</translation>
    </message>
    <message>
        <source>unknown extension &quot;%s&quot; (use .rpf, .pdf, .png, .xlsx or .csv)</source>
        <translation>extensión desconocida &quot;%s&quot; (use .rpf, .pdf, .png, .xlsx o .csv)</translation>
    </message>
    <message>
        <source>To create a demonstration database and its configuration: relclientes --demo</source>
        <translation>Para crear una base de datos de demostración y su configuración: relclientes --demo</translation>
    </message>
    <message>
        <source>user &quot;%s&quot; of %s</source>
        <translation>usuario &quot;%s&quot; de %s</translation>
    </message>
    <message>
        <source>making the report was cancelled</source>
        <translation>generación cancelada</translation>
    </message>
    <message>
        <source>the server asks for the password of %s; without windows it comes from PostgreSQL&apos;s password file (~/.pgpass or PGPASSFILE) or from PGPASSWORD</source>
        <translation>el servidor pide la contraseña del %s; sin ventanas viene del archivo de contraseñas de PostgreSQL (~/.pgpass o PGPASSFILE) o de PGPASSWORD</translation>
    </message>
    <message>
        <source>cannot create the folder %s (%s)</source>
        <translation>no se pudo crear la carpeta %s (%s)</translation>
    </message>
    <message>
        <source>No database is configured.
The configuration is kept in the file %s (or in the file that the variable RELCLIENTES_ENGINE_CONFIG names). It gives the alias VERANTO the clients&apos; database: the path (PATH) of an SQLite file or a PostgreSQL server (TYPE=POSTGRESQL, HOST, DATABASE NAME). See &quot;man relclientes&quot;.</source>
        <translation>No hay ninguna base de datos configurada.
La configuración está en el archivo %s (o en el archivo que indique la variable RELCLIENTES_ENGINE_CONFIG). Da al alias VERANTO la base de datos de los clientes: la ruta (PATH) de un archivo SQLite o un servidor PostgreSQL (TYPE=POSTGRESQL, HOST, DATABASE NAME). Vea &quot;man relclientes&quot;.</translation>
    </message>
    <message>
        <source>cannot create the demonstration database: %s</source>
        <translation>no se pudo crear la base de datos de demostración: %s</translation>
    </message>
    <message>
        <source>Demonstration database created: %s (%d clients)</source>
        <translation>Base de datos de demostración creada: %s (%d clientes)</translation>
    </message>
    <message>
        <source>Configuration created: %s (alias VERANTO: %s)</source>
        <translation>Configuración creada: %s (alias VERANTO: %s)</translation>
    </message>
    <message>
        <source>Existing configuration kept: %s</source>
        <translation>Configuración existente mantenida: %s</translation>
    </message>
    <message>
        <source>Clients by City</source>
        <translation>Clientes por Ciudad</translation>
    </message>
    <message>
        <source>Create a demonstration database now, with made-up clients, and the configuration that uses it?</source>
        <translation>¿Crear ahora una base de datos de demostración, con clientes ficticios, y la configuración que la usa?</translation>
    </message>
    <message>
        <source>Create demonstration</source>
        <translation>Crear demostración</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>&quot;%s&quot; is not a report file</source>
        <translation>&quot;%s&quot; no es un archivo de informe</translation>
    </message>
    <message>
        <source>&quot;%s&quot; is a report file of version %d of the format; this program reads version 3 only</source>
        <translation>&quot;%s&quot; es un archivo de informe de la versión %d del formato; este programa solo lee la versión 3</translation>
    </message>
    <message>
        <source>the report file &quot;%s&quot; is incomplete: it ends before the end of the report</source>
        <translation>el archivo de informe &quot;%s&quot; está incompleto: termina antes del final del informe</translation>
    </message>
    <message>
        <source>the report file &quot;%s&quot; is damaged on page %d</source>
        <translation>el archivo de informe &quot;%s&quot; está dañado en la página %d</translation>
    </message>
    <message>
        <source>the report file &quot;%s&quot; is damaged</source>
        <translation>el archivo de informe &quot;%s&quot; está dañado</translation>
    </message>
    <message>
        <source>cannot read &quot;%s&quot; (%s)</source>
        <translation>no se pudo leer &quot;%s&quot; (%s)</translation>
    </message>
    <message>
        <source>Open report</source>
        <translation>Abrir informe</translation>
    </message>
    <message>
        <source>Clients of every city</source>
        <translation>Clientes de todas las ciudades</translation>
    </message>
    <message>
        <source>Clients of %s</source>
        <translation>Clientes de %s</translation>
    </message>
</context>
<context>
    <name>core</name>
    <message>
        <source>Cannot create file &quot;%s&quot;: %s</source>
        <translation>No se puede crear el archivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;: %s</source>
        <translation>No se puede escribir el archivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%s&quot;: it was discarded</source>
        <translation>No se puede crear el archivo &quot;%s&quot;: fue descartado</translation>
    </message>
</context>
<context>
    <name>data</name>
    <message>
        <source>Database Login</source>
        <translation>Acceso a la base de datos</translation>
    </message>
    <message>
        <source>Database:</source>
        <translation>Base de datos:</translation>
    </message>
    <message>
        <source>&amp;User Name:</source>
        <translation>&amp;Usuario:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Contraseña:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Enter password</source>
        <translation>Introduzca la contraseña</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Contraseña</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Añadir</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Quitar</translation>
    </message>
    <message>
        <source>Re&amp;move all</source>
        <translation>Quitar &amp;todas</translation>
    </message>
</context>
<context>
    <name>engine</name>
    <message>
        <source>Operation completed.</source>
        <translation>Operación completada.</translation>
    </message>
    <message>
        <source>The engine configuration file does not exist.</source>
        <translation>El archivo de configuración del motor no existe.</translation>
    </message>
    <message>
        <source>The engine configuration file is not valid.</source>
        <translation>El archivo de configuración del motor no es válido.</translation>
    </message>
    <message>
        <source>The database file does not exist.</source>
        <translation>El archivo de la base de datos no existe.</translation>
    </message>
    <message>
        <source>The file is not a database.</source>
        <translation>El archivo no es una base de datos.</translation>
    </message>
    <message>
        <source>The database file cannot be opened.</source>
        <translation>No se puede abrir el archivo de la base de datos.</translation>
    </message>
    <message>
        <source>The database server cannot be reached.</source>
        <translation>No se puede conectar con el servidor de la base de datos.</translation>
    </message>
    <message>
        <source>The database does not exist on the server.</source>
        <translation>La base de datos no existe en el servidor.</translation>
    </message>
    <message>
        <source>The database engine library was not found.</source>
        <translation>No se encontró la biblioteca del motor de base de datos.</translation>
    </message>
    <message>
        <source>The database engine library could not be loaded.</source>
        <translation>No se pudo cargar la biblioteca del motor de base de datos.</translation>
    </message>
    <message>
        <source>At beginning of table.</source>
        <translation>Al principio de la tabla.</translation>
    </message>
    <message>
        <source>At end of table.</source>
        <translation>Al final de la tabla.</translation>
    </message>
    <message>
        <source>No current record.</source>
        <translation>No hay registro actual.</translation>
    </message>
    <message>
        <source>Unknown database alias.</source>
        <translation>Alias de base de datos desconocido.</translation>
    </message>
    <message>
        <source>Table does not exist.</source>
        <translation>La tabla no existe.</translation>
    </message>
    <message>
        <source>Column does not exist.</source>
        <translation>La columna no existe.</translation>
    </message>
    <message>
        <source>A constraint of the table was violated.</source>
        <translation>Se violó una restricción de la tabla.</translation>
    </message>
    <message>
        <source>Insufficient memory for this operation.</source>
        <translation>Memoria insuficiente para esta operación.</translation>
    </message>
    <message>
        <source>Invalid handle.</source>
        <translation>Identificador no válido.</translation>
    </message>
    <message>
        <source>Invalid parameter.</source>
        <translation>Parámetro no válido.</translation>
    </message>
    <message>
        <source>The database engine is not initialised.</source>
        <translation>El motor de base de datos no está inicializado.</translation>
    </message>
    <message>
        <source>The object has no such property.</source>
        <translation>El objeto no tiene esa propiedad.</translation>
    </message>
    <message>
        <source>The statement is not prepared.</source>
        <translation>La sentencia no está preparada.</translation>
    </message>
    <message>
        <source>Driver type not supported.</source>
        <translation>Tipo de controlador no admitido.</translation>
    </message>
    <message>
        <source>Invalid bookmark.</source>
        <translation>Marcador no válido.</translation>
    </message>
    <message>
        <source>The text is not valid UTF-8.</source>
        <translation>El texto no es UTF-8 válido.</translation>
    </message>
    <message>
        <source>The property cannot be changed.</source>
        <translation>La propiedad no se puede cambiar.</translation>
    </message>
    <message>
        <source>Operation not available.</source>
        <translation>Operación no disponible.</translation>
    </message>
    <message>
        <source>Password needed.</source>
        <translation>Se necesita una contraseña.</translation>
    </message>
    <message>
        <source>The database is read only.</source>
        <translation>La base de datos es de solo lectura.</translation>
    </message>
    <message>
        <source>The login was cancelled.</source>
        <translation>El acceso fue cancelado.</translation>
    </message>
    <message>
        <source>The server refused the user name or password.</source>
        <translation>El servidor rechazó el usuario o la contraseña.</translation>
    </message>
    <message>
        <source>The database is locked by another user.</source>
        <translation>La base de datos está bloqueada por otro usuario.</translation>
    </message>
    <message>
        <source>The connection to the database server was lost.</source>
        <translation>Se perdió la conexión con el servidor de la base de datos.</translation>
    </message>
    <message>
        <source>The database engine is already initialised.</source>
        <translation>El motor de base de datos ya está inicializado.</translation>
    </message>
    <message>
        <source>Invalid SQL statement.</source>
        <translation>Sentencia SQL no válida.</translation>
    </message>
    <message>
        <source>Error in SQL statement.</source>
        <translation>Error en la sentencia SQL.</translation>
    </message>
    <message>
        <source>The statement returns no records.</source>
        <translation>La sentencia no devuelve registros.</translation>
    </message>
    <message>
        <source>The database server did not answer in time.</source>
        <translation>El servidor de la base de datos no respondió a tiempo.</translation>
    </message>
</context>
<context>
    <name>graphics</name>
    <message>
        <source>Unknown picture format</source>
        <translation>Formato de imagen desconocido</translation>
    </message>
    <message>
        <source>Cannot write the picture: %s</source>
        <translation>No se puede escribir la imagen: %s</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%s&quot;</source>
        <translation>No se puede abrir el archivo &quot;%s&quot;</translation>
    </message>
    <message>
        <source>Not enough memory for a bitmap of %d x %d</source>
        <translation>Memoria insuficiente para una imagen de %d x %d</translation>
    </message>
</context>
<context>
    <name>lookup</name>
    <message>
        <source>Invalid input value. Use escape key to abandon changes</source>
        <translation>Valor no válido. Use la tecla Esc para descartar los cambios</translation>
    </message>
</context>
<context>
    <name>output</name>
    <message>
        <source>The file &quot;%s&quot; already exists.
Do you want to replace it?</source>
        <translation>El archivo &quot;%s&quot; ya existe.
¿Desea reemplazarlo?</translation>
    </message>
    <message>
        <source>Another print or save is still running along this same way; wait for it to end and try again.</source>
        <translation>Otra impresión o grabación todavía está en curso por este mismo camino; espere a que termine e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>Show or hide the report&apos;s groups</source>
        <translation>Mostrar u ocultar los grupos del informe</translation>
    </message>
    <message>
        <source>Cannot create the temporary folder for the attachment: %s</source>
        <translation>No se pudo crear la carpeta temporal para el adjunto: %s</translation>
    </message>
    <message>
        <source>xdg-email did not understand the request</source>
        <translation>xdg-email no entendió la petición</translation>
    </message>
    <message>
        <source>xdg-email did not find the attached file</source>
        <translation>xdg-email no encontró el archivo adjunto</translation>
    </message>
    <message>
        <source>no e-mail program is set up on this desktop</source>
        <translation>no hay ningún programa de correo configurado en este escritorio</translation>
    </message>
    <message>
        <source>the e-mail program could not be opened</source>
        <translation>no se pudo abrir el programa de correo</translation>
    </message>
    <message>
        <source>xdg-email ended with status %d</source>
        <translation>xdg-email terminó con el código %d</translation>
    </message>
    <message>
        <source>Cannot open the e-mail program (%s): %s</source>
        <translation>No se pudo abrir el programa de correo (%s): %s</translation>
    </message>
    <message>
        <source>Sending by e-mail is not available: xdg-email (package xdg-utils), which opens the e-mail program, is missing.</source>
        <translation>El envío por correo no está disponible: falta xdg-email (paquete xdg-utils), que abre el programa de correo.</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Informe</translation>
    </message>
    <message>
        <source>Cannot send the report by e-mail: %s.</source>
        <translation>No se pudo enviar el informe por correo: %s.</translation>
    </message>
    <message>
        <source>This report has no data for a spreadsheet: no detail band with texts was printed in it (a report opened from an .rpf file keeps only the pages).</source>
        <translation>Este informe no tiene datos para una hoja de cálculo: no se imprimió en él ninguna banda de detalle con textos (un informe abierto desde un archivo .rpf guarda solo las páginas).</translation>
    </message>
</context>
<context>
    <name>pages</name>
    <message>
        <source>Cannot read file &quot;%s&quot;: %s</source>
        <translation>No se puede leer el archivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;: %s</source>
        <translation>No se puede escribir el archivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%s&quot;: %s</source>
        <translation>No se puede crear el archivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%s&quot;: %s</source>
        <translation>No se puede abrir el archivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot create a temporary file in &quot;%s&quot;</source>
        <translation>No se puede crear un archivo temporal en &quot;%s&quot;</translation>
    </message>
</context>
<context>
    <name>pdf</name>
    <message>
        <source>Cannot create file &quot;%s&quot;: %s</source>
        <translation>No se puede crear el archivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;</source>
        <translation>No se puede escribir el archivo &quot;%s&quot;</translation>
    </message>
</context>
<context>
    <name>printing</name>
    <message>
        <source>Printing in progress</source>
        <translation>Impresión en curso</translation>
    </message>
    <message>
        <source>There is no default printer currently selected</source>
        <translation>No hay ninguna impresora predeterminada seleccionada</translation>
    </message>
    <message>
        <source>Printer selected is not valid</source>
        <translation>La impresora seleccionada no es válida</translation>
    </message>
    <message>
        <source>Printer selected is not valid: </source>
        <translation>La impresora seleccionada no es válida: </translation>
    </message>
    <message>
        <source>Printer is not currently printing</source>
        <translation>La impresora no está imprimiendo</translation>
    </message>
    <message>
        <source>Printer error</source>
        <translation>Error de la impresora</translation>
    </message>
    <message>
        <source>Printer error: </source>
        <translation>Error de la impresora: </translation>
    </message>
    <message>
        <source>The printing library cannot be loaded: </source>
        <translation>No se puede cargar la biblioteca de impresión: </translation>
    </message>
    <message>
        <source>The printing library lacks a function of print jobs</source>
        <translation>A la biblioteca de impresión le falta una función de trabajos de impresión</translation>
    </message>
</context>
</TS>
