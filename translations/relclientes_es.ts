<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
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
