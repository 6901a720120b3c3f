<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <translation>Pasta</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Arquivo</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Unidade</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconhecido</translation>
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
        <translation>Uso: relclientes [--export ARQUIVO [--city CIDADE | --from RELATORIO.rpf]]
     relclientes RELATORIO.rpf | --demo | --version | --help

Sem opções, abre o diálogo de relação de clientes por cidade; com um arquivo de relatório salvo,
mostra as suas páginas na visualização.

  ARQUIVO.rpf       abre um arquivo de relatório gravado na visualização
  --export ARQUIVO  gera o relatório sem janelas e grava ARQUIVO conforme a extensão:
                    .rpf  o arquivo de relatório com todas as páginas
                    .pdf  todas as páginas num único PDF
                    .png  uma imagem por página (ARQUIVO1.png, ARQUIVO2.png, ...)
                    .xlsx os dados numa planilha do Excel, uma linha por cliente
                    .csv  os mesmos dados em texto separado por ponto e vírgula
  --city CIDADE     só os clientes dessa cidade (o texto exato); sem ela, todas as cidades
  --from RELATORIO  grava as páginas de um relatório salvo em vez de gerá-lo (sem banco de dados)
  --demo            cria o banco de dados de demonstração e a configuração que o usa, se faltarem
                    (uma configuração existente nunca é substituída)
  --version         mostra a versão do programa
  --help            mostra esta ajuda

O banco de dados vem da configuração em $RELCLIENTES_ENGINE_CONFIG ou, sem ela,
em ~/.config/relclientes/engine.cfg; &quot;man relclientes&quot; descreve o arquivo.
Cada opção vale uma vez. Se ARQUIVO for um link simbólico, o arquivo para onde ele aponta é
substituído e o link continua.

Em caso de erro a mensagem vai para a saída de erros, o código de saída é diferente de zero
(1: falha ao gerar ou gravar, ou nenhum banco de dados configurado; 2: linha de comando inválida)
e nenhum arquivo existente fica pela metade.
</translation>
    </message>
    <message>
        <source>cannot write %s (%s)</source>
        <translation>não foi possível gravar %s (%s)</translation>
    </message>
    <message>
        <source>%d page(s) written to %s</source>
        <translation>%d página(s) gravada(s) em %s</translation>
    </message>
    <message>
        <source>--city does not apply to a saved report (--from)</source>
        <translation>--city não se aplica a um relatório salvo (--from)</translation>
    </message>
    <message>
        <source>repeated option: %s</source>
        <translation>opção repetida: %s</translation>
    </message>
    <message>
        <source>invalid argument: %s</source>
        <translation>argumento inválido: %s</translation>
    </message>
    <message>
        <source>missing --export FILE</source>
        <translation>falta --export ARQUIVO</translation>
    </message>
    <message>
        <source>unknown extension &quot;%s&quot; (use .rpf, .pdf, .png, .xlsx or .csv)</source>
        <translation>extensão desconhecida &quot;%s&quot; (use .rpf, .pdf, .png, .xlsx ou .csv)</translation>
    </message>
    <message>
        <source>To create a demonstration database and its configuration: relclientes --demo</source>
        <translation>Para criar um banco de dados de demonstração e a sua configuração: relclientes --demo</translation>
    </message>
    <message>
        <source>user &quot;%s&quot; of %s</source>
        <translation>usuário &quot;%s&quot; de %s</translation>
    </message>
    <message>
        <source>making the report was cancelled</source>
        <translation>geração cancelada</translation>
    </message>
    <message>
        <source>the server asks for the password of %s; without windows it comes from PostgreSQL&apos;s password file (~/.pgpass or PGPASSFILE) or from PGPASSWORD</source>
        <translation>o servidor pede a senha do %s; sem janelas ela vem do arquivo de senhas do PostgreSQL (~/.pgpass ou PGPASSFILE) ou de PGPASSWORD</translation>
    </message>
    <message>
        <source>cannot create the folder %s (%s)</source>
        <translation>não foi possível criar a pasta %s (%s)</translation>
    </message>
    <message>
        <source>No database is configured.
The configuration is kept in the file %s (or in the file that the variable RELCLIENTES_ENGINE_CONFIG names). It gives the alias VERANTO the clients&apos; database: the path (PATH) of an SQLite file or a PostgreSQL server (TYPE=POSTGRESQL, HOST, DATABASE NAME). See &quot;man relclientes&quot;.</source>
        <translation>Nenhum banco de dados está configurado.
A configuração fica no arquivo %s (ou no arquivo que a variável RELCLIENTES_ENGINE_CONFIG indicar). Ela dá ao apelido VERANTO o banco de dados dos clientes: o caminho (PATH) de um arquivo SQLite ou um servidor PostgreSQL (TYPE=POSTGRESQL, HOST, DATABASE NAME). Veja &quot;man relclientes&quot;.</translation>
    </message>
    <message>
        <source>cannot create the demonstration database: %s</source>
        <translation>não foi possível criar o banco de dados de demonstração: %s</translation>
    </message>
    <message>
        <source>Demonstration database created: %s (%d clients)</source>
        <translation>Banco de dados de demonstração criado: %s (%d clientes)</translation>
    </message>
    <message>
        <source>Configuration created: %s (alias VERANTO: %s)</source>
        <translation>Configuração criada: %s (apelido VERANTO: %s)</translation>
    </message>
    <message>
        <source>Existing configuration kept: %s</source>
        <translation>Configuração existente mantida: %s</translation>
    </message>
    <message>
        <source>Clients by City</source>
        <translation>Relação de Clientes por Cidade</translation>
    </message>
    <message>
        <source>Create a demonstration database now, with made-up clients, and the configuration that uses it?</source>
        <translation>Criar agora um banco de dados de demonstração, com clientes fictícios, e a configuração que o usa?</translation>
    </message>
    <message>
        <source>Create demonstration</source>
        <translation>Criar demonstração</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Sair</translation>
    </message>
    <message>
        <source>&quot;%s&quot; is not a report file</source>
        <translation>&quot;%s&quot; não é um arquivo de relatório</translation>
    </message>
    <message>
        <source>&quot;%s&quot; is a report file of version %d of the format; this program reads version 3 only</source>
        <translation>&quot;%s&quot; é um arquivo de relatório da versão %d do formato; este programa lê somente a versão 3</translation>
    </message>
    <message>
        <source>the report file &quot;%s&quot; is incomplete: it ends before the end of the report</source>
        <translation>o arquivo de relatório &quot;%s&quot; está incompleto: termina antes do fim do relatório</translation>
    </message>
    <message>
        <source>the report file &quot;%s&quot; is damaged on page %d</source>
        <translation>o arquivo de relatório &quot;%s&quot; está danificado na página %d</translation>
    </message>
    <message>
        <source>the report file &quot;%s&quot; is damaged</source>
        <translation>o arquivo de relatório &quot;%s&quot; está danificado</translation>
    </message>
    <message>
        <source>cannot read &quot;%s&quot; (%s)</source>
        <translation>não foi possível ler &quot;%s&quot; (%s)</translation>
    </message>
    <message>
        <source>Open report</source>
        <translation>Abrir relatório</translation>
    </message>
    <message>
        <source>Clients of every city</source>
        <translation>Clientes de todas as cidades</translation>
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
    <message>
        <source>Another print or save is still running along this same way; wait for it to end and try again.</source>
        <translation>Outra impressão ou gravação ainda está em andamento por este mesmo caminho; aguarde o fim dela e tente de novo.</translation>
    </message>
    <message>
        <source>Show or hide the report&apos;s groups</source>
        <translation>Mostrar ou ocultar os grupos do relatório</translation>
    </message>
    <message>
        <source>Cannot create the temporary folder for the attachment: %s</source>
        <translation>Não foi possível criar a pasta temporária para o anexo: %s</translation>
    </message>
    <message>
        <source>xdg-email did not understand the request</source>
        <translation>o xdg-email não entendeu o pedido</translation>
    </message>
    <message>
        <source>xdg-email did not find the attached file</source>
        <translation>o xdg-email não encontrou o arquivo anexo</translation>
    </message>
    <message>
        <source>no e-mail program is set up on this desktop</source>
        <translation>não há programa de e-mail configurado nesta área de trabalho</translation>
    </message>
    <message>
        <source>the e-mail program could not be opened</source>
        <translation>o programa de e-mail não pôde ser aberto</translation>
    </message>
    <message>
        <source>xdg-email ended with status %d</source>
        <translation>o xdg-email terminou com o código %d</translation>
    </message>
    <message>
        <source>Cannot open the e-mail program (%s): %s</source>
        <translation>Não foi possível abrir o programa de e-mail (%s): %s</translation>
    </message>
    <message>
        <source>Sending by e-mail is not available: xdg-email (package xdg-utils), which opens the e-mail program, is missing.</source>
        <translation>Enviar por e-mail não está disponível: falta o xdg-email (pacote xdg-utils), que abre o programa de e-mail.</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Relatório</translation>
    </message>
    <message>
        <source>Cannot send the report by e-mail: %s.</source>
        <translation>Não foi possível enviar o relatório por e-mail: %s.</translation>
    </message>
    <message>
        <source>This report has no data for a spreadsheet: no detail band with texts was printed in it (a report opened from an .rpf file keeps only the pages).</source>
        <translation>Este relatório não tem dados para uma planilha: nenhuma faixa de detalhe com textos foi impressa nele (um relatório aberto de um arquivo .rpf guarda só as páginas).</translation>
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
