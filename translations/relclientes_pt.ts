<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt">
<context>
    <name>core</name>
    <message>
        <source>Cannot create file &quot;%s&quot;: %s</source>
        <translation>Não foi possível criar o arquivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;: %s</source>
        <translation>Não foi possível gravar o arquivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%s&quot;: it was discarded</source>
        <translation>Não foi possível criar o arquivo &quot;%s&quot;: ele foi descartado</translation>
    </message>
</context>
<context>
    <name>data</name>
    <message>
        <source>Database Login</source>
        <translation>Acesso ao banco de dados</translation>
    </message>
    <message>
        <source>Database:</source>
        <translation>Banco de dados:</translation>
    </message>
    <message>
        <source>&amp;User Name:</source>
        <translation>&amp;Usuário:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Senha:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Enter password</source>
        <translation>Digite a senha</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Senha</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Adicionar</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Remover</translation>
    </message>
    <message>
        <source>Re&amp;move all</source>
        <translation>Remover &amp;todas</translation>
    </message>
</context>
<context>
    <name>engine</name>
    <message>
        <source>Operation completed.</source>
        <translation>Operação concluída.</translation>
    </message>
    <message>
        <source>The engine configuration file does not exist.</source>
        <translation>O arquivo de configuração do mecanismo não existe.</translation>
    </message>
    <message>
        <source>The engine configuration file is not valid.</source>
        <translation>O arquivo de configuração do mecanismo não é válido.</translation>
    </message>
    <message>
        <source>The database file does not exist.</source>
        <translation>O arquivo do banco de dados não existe.</translation>
    </message>
    <message>
        <source>The file is not a database.</source>
        <translation>O arquivo não é um banco de dados.</translation>
    </message>
    <message>
        <source>The database file cannot be opened.</source>
        <translation>Não foi possível abrir o arquivo do banco de dados.</translation>
    </message>
    <message>
        <source>The database server cannot be reached.</source>
        <translation>Não foi possível contatar o servidor do banco de dados.</translation>
    </message>
    <message>
        <source>The database does not exist on the server.</source>
        <translation>O banco de dados não existe no servidor.</translation>
    </message>
    <message>
        <source>The database engine library was not found.</source>
        <translation>A biblioteca do mecanismo de banco de dados não foi encontrada.</translation>
    </message>
    <message>
        <source>The database engine library could not be loaded.</source>
        <translation>Não foi possível carregar a biblioteca do mecanismo de banco de dados.</translation>
    </message>
    <message>
        <source>At beginning of table.</source>
        <translation>No início da tabela.</translation>
    </message>
    <message>
        <source>At end of table.</source>
        <translation>No fim da tabela.</translation>
    </message>
    <message>
        <source>No current record.</source>
        <translation>Nenhum registro atual.</translation>
    </message>
    <message>
        <source>Unknown database alias.</source>
        <translation>Apelido de banco de dados desconhecido.</translation>
    </message>
    <message>
        <source>Table does not exist.</source>
        <translation>A tabela não existe.</translation>
    </message>
    <message>
        <source>Column does not exist.</source>
        <translation>A coluna não existe.</translation>
    </message>
    <message>
        <source>A constraint of the table was violated.</source>
        <translation>Uma restrição da tabela foi violada.</translation>
    </message>
    <message>
        <source>Insufficient memory for this operation.</source>
        <translation>Memória insuficiente para esta operação.</translation>
    </message>
    <message>
        <source>Invalid handle.</source>
        <translation>Identificador inválido.</translation>
    </message>
    <message>
        <source>Invalid parameter.</source>
        <translation>Parâmetro inválido.</translation>
    </message>
    <message>
        <source>The database engine is not initialised.</source>
        <translation>O mecanismo de banco de dados não foi inicializado.</translation>
    </message>
    <message>
        <source>The object has no such property.</source>
        <translation>O objeto não tem essa propriedade.</translation>
    </message>
    <message>
        <source>The statement is not prepared.</source>
        <translation>O comando não está preparado.</translation>
    </message>
    <message>
        <source>Driver type not supported.</source>
        <translation>Tipo de driver não suportado.</translation>
    </message>
    <message>
        <source>Invalid bookmark.</source>
        <translation>Marcador inválido.</translation>
    </message>
    <message>
        <source>The text is not valid UTF-8.</source>
        <translation>O texto não é UTF-8 válido.</translation>
    </message>
    <message>
        <source>The property cannot be changed.</source>
        <translation>A propriedade não pode ser alterada.</translation>
    </message>
    <message>
        <source>Operation not available.</source>
        <translation>Operação não disponível.</translation>
    </message>
    <message>
        <source>Password needed.</source>
        <translation>É necessária uma senha.</translation>
    </message>
    <message>
        <source>The database is read only.</source>
        <translation>O banco de dados é somente leitura.</translation>
    </message>
    <message>
        <source>The login was cancelled.</source>
        <translation>O acesso foi cancelado.</translation>
    </message>
    <message>
        <source>The server refused the user name or password.</source>
        <translation>O servidor recusou o usuário ou a senha.</translation>
    </message>
    <message>
        <source>The database is locked by another user.</source>
        <translation>O banco de dados está bloqueado por outro usuário.</translation>
    </message>
    <message>
        <source>The connection to the database server was lost.</source>
        <translation>A conexão com o servidor do banco de dados foi perdida.</translation>
    </message>
    <message>
        <source>The database engine is already initialised.</source>
        <translation>O mecanismo de banco de dados já foi inicializado.</translation>
    </message>
    <message>
        <source>Invalid SQL statement.</source>
        <translation>Comando SQL inválido.</translation>
    </message>
    <message>
        <source>Error in SQL statement.</source>
        <translation>Erro no comando SQL.</translation>
    </message>
    <message>
        <source>The statement returns no records.</source>
        <translation>O comando não retorna registros.</translation>
    </message>
    <message>
        <source>The database server did not answer in time.</source>
        <translation>O servidor do banco de dados não respondeu a tempo.</translation>
    </message>
</context>
<context>
    <name>graphics</name>
    <message>
        <source>Unknown picture format</source>
        <translation>Formato de imagem desconhecido</translation>
    </message>
    <message>
        <source>Cannot write the picture: %s</source>
        <translation>Não foi possível gravar a imagem: %s</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%s&quot;</source>
        <translation>Não foi possível abrir o arquivo &quot;%s&quot;</translation>
    </message>
    <message>
        <source>Not enough memory for a bitmap of %d x %d</source>
        <translation>Memória insuficiente para uma imagem de %d x %d</translation>
    </message>
</context>
<context>
    <name>lookup</name>
    <message>
        <source>Invalid input value. Use escape key to abandon changes</source>
        <translation>Valor inválido. Use a tecla Esc para abandonar as alterações</translation>
    </message>
</context>
<context>
    <name>output</name>
    <message>
        <source>The file &quot;%s&quot; already exists.
Do you want to replace it?</source>
        <translation>O arquivo &quot;%s&quot; já existe.
Deseja substituí-lo?</translation>
    </message>
</context>
<context>
    <name>pages</name>
    <message>
        <source>Cannot read file &quot;%s&quot;: %s</source>
        <translation>Não foi possível ler o arquivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;: %s</source>
        <translation>Não foi possível gravar o arquivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%s&quot;: %s</source>
        <translation>Não foi possível criar o arquivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%s&quot;: %s</source>
        <translation>Não foi possível abrir o arquivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot create a temporary file in &quot;%s&quot;</source>
        <translation>Não foi possível criar um arquivo temporário em &quot;%s&quot;</translation>
    </message>
</context>
<context>
    <name>pdf</name>
    <message>
        <source>Cannot create file &quot;%s&quot;: %s</source>
        <translation>Não foi possível criar o arquivo &quot;%s&quot;: %s</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%s&quot;</source>
        <translation>Não foi possível gravar o arquivo &quot;%s&quot;</translation>
    </message>
</context>
<context>
    <name>printing</name>
    <message>
        <source>Printing in progress</source>
        <translation>Impressão em andamento</translation>
    </message>
    <message>
        <source>There is no default printer currently selected</source>
        <translation>Nenhuma impressora padrão está selecionada</translation>
    </message>
    <message>
        <source>Printer selected is not valid</source>
        <translation>A impressora selecionada não é válida</translation>
    </message>
    <message>
        <source>Printer selected is not valid: </source>
        <translation>A impressora selecionada não é válida: </translation>
    </message>
    <message>
        <source>Printer is not currently printing</source>
        <translation>A impressora não está imprimindo</translation>
    </message>
    <message>
        <source>Printer error</source>
        <translation>Erro da impressora</translation>
    </message>
    <message>
        <source>Printer error: </source>
        <translation>Erro da impressora: </translation>
    </message>
    <message>
        <source>The printing library cannot be loaded: </source>
        <translation>Não foi possível carregar a biblioteca de impressão: </translation>
    </message>
    <message>
        <source>The printing library lacks a function of print jobs</source>
        <translation>Falta à biblioteca de impressão uma função de trabalhos de impressão</translation>
    </message>
</context>
</TS>
