#include "pages/RLConsts.h"

#include "core/Translation.h"

namespace {

void FillMessagesPortuguese(TRLEngineMessages& m) {
  m.msgPrintingInProgress = "Imprimindo o relatório...";
  m.msgSavingReport = "Salvando o relatório...";
  m.msgPreparingReport = "Preparando o relatório...";
  m.msgPrinterNotFound = "Nenhuma impressora encontrada";
  m.msgInvalidPrinterPath = "Caminho inválido para a impressora";
  m.msgLoadDefaultConfig = "Será carregada a configuração padrão";
  m.msgPrinterDriverError = "Erro no driver da impressora";
  m.msgPage = "Página";
  m.msgPrepareError = "Erro durante a preparação do relatório";
  m.msgContinues = "Continua...";
  m.msgContinuation = "Continuação";
  m.msgEnd = "Fim";
  m.msgFileNotFound = "Arquivo não encontrado";
  m.msgFileName = "Nome do arquivo";
  m.msgAllFiles = "Todos os arquivos";
  m.msgLoadReport = "Carregar relatório";
  m.msgNotFound = "Não encontrado";
  m.msgWait = "Aguarde...";
  m.msgFinished = "Concluído";
  m.msgCancel = "Cancelar";
  m.msgClose = "Fechar";
  m.msgSave = "Salvar";
  m.msgSend = "Enviar";
  m.msgPrint = "Imprimir";
  m.msgAbout = "Sobre o";
  m.msgPreview = "Pré-visualização";
  m.msgOf = "de";
  m.msgZoom = "Zoom";
  m.msgFirstPage = "Primeira página";
  m.msgPriorPage = "Página anterior";
  m.msgNextPage = "Próxima página";
  m.msgLastPage = "Última página";
  m.msgEntirePage = "Página inteira";
  m.msgEntireWidth = "Largura da página";
  m.msgMultiplePages = "Várias páginas";
  m.msgConfigurePrinter = "Configurar impressora";
  m.msgSaveToFile = "Salvar em disco";
  m.msgSendTo = "Enviar para";
  m.msgPrinter = "Impressora";
  m.msgName = "Nome";
  m.msgPrintToFile = "Imprimir em arquivo";
  m.msgPrintInBackground = "Imprimir em segundo plano";
  m.msgSaveInBackground = "Salvar em segundo plano";
  m.msgPageRange = "Intervalo de páginas";
  m.msgRangeFrom = "de";
  m.msgRangeTo = "até";
  m.msgAll = "Tudo";
  m.msgPages = "Páginas";
  m.msgSelection = "Seleção";
  m.msgCopies = "Cópias";
  m.msgNumberOfCopies = "Número de cópias";
  m.msgOk = "Ok";
  m.msgDivideScreen = "Dividir a tela";
  m.msgInvalidName = "Nome inválido";
  m.msgNameInUse = "Nome já utilizado";
  m.msgUseFilter = "Usar Filtro";
  m.msgWebPage = "Página da Web";
  m.msgRichTextFormat = "Formato RichText";
  m.msgPdfDocument = "Documento PDF";
  m.msgExcelSpreadsheet = "Planilha Excel";
  m.msgAt = "em";
  m.msgForm = "Formulário";
  m.msgDefault = "Padrão";
  m.msgCols = "cols";
  m.msgIncreaseZoom = "Aumentar o zoom";
  m.msgDecreaseZoom = "Diminuir o zoom";
  m.msgCopy = "Copiar";
  m.msgEdit = "Editar";
  m.msgFind = "Procurar";
  m.msgFindText = "Te&xto";
  m.msgFindNext = "&Próxima";
  m.msgWholeWords = "Palavras &inteiras";
  m.msgMatchCase = "Diferenciar &maiúsculas de minúsculas";
  m.msgUp = "A&cima";
  m.msgDown = "A&baixo";
  m.msgDirection = "Direção";
  m.msgSemicolonSeparatedText = "Texto separado por ponto e vírgula";
}

void FillMessagesEnglish(TRLEngineMessages& m) {
  m.msgPrintingInProgress = "Printing in progress...";
  m.msgSavingReport = "Saving report...";
  m.msgPreparingReport = "Preparing report...";
  m.msgPrinterNotFound = "Printer not found";
  m.msgInvalidPrinterPath = "Invalid printer path";
  m.msgLoadDefaultConfig = "Load default configuration";
  m.msgPrinterDriverError = "Printer driver error";
  m.msgPage = "Page";
  m.msgPrepareError = "Error while preparing report";
  m.msgContinues = "Continues...";
  m.msgContinuation = "Continuation";
  m.msgEnd = "End";
  m.msgFileNotFound = "File not found";
  m.msgFileName = "File Name";
  m.msgAllFiles = "All files";
  m.msgLoadReport = "Load report";
  m.msgNotFound = "Not found";
  m.msgWait = "Wait...";
  m.msgFinished = "Finished";
  m.msgCancel = "Cancel";
  m.msgClose = "Close";
  m.msgSave = "Save";
  m.msgSend = "Send";
  m.msgPrint = "Print";
  m.msgAbout = "About";
  m.msgPreview = "Preview";
  m.msgOf = "of";
  m.msgZoom = "Zoom";
  m.msgFirstPage = "First page";
  m.msgPriorPage = "Prior page";
  m.msgNextPage = "Next page";
  m.msgLastPage = "Last page";
  m.msgEntirePage = "Entire page";
  m.msgEntireWidth = "Entire width";
  m.msgMultiplePages = "Multiple pages";
  m.msgConfigurePrinter = "Configure printer";
  m.msgSaveToFile = "Save to file";
  m.msgSendTo = "Send to";
  m.msgPrinter = "Printer";
  m.msgName = "Name";
  m.msgPrintToFile = "Print to file";
  m.msgPrintInBackground = "Print in background";
  m.msgSaveInBackground = "Save in background";
  m.msgPageRange = "Page range";
  m.msgRangeFrom = "from";
  m.msgRangeTo = "to";
  m.msgAll = "All";
  m.msgPages = "Pages";
  m.msgSelection = "Selection";
  m.msgCopies = "Copies";
  m.msgNumberOfCopies = "Number of copies";
  m.msgOk = "Ok";
  m.msgDivideScreen = "Divide the screen";
  m.msgInvalidName = "Invalid name";
  m.msgNameInUse = "Name already in use";
  m.msgUseFilter = "Use filter";
  m.msgWebPage = "Web page";
  m.msgRichTextFormat = "RichText Format";
  m.msgPdfDocument = "PDF Document";
  m.msgExcelSpreadsheet = "Excel spreadsheet";
  m.msgAt = "at";
  m.msgForm = "Form";
  m.msgDefault = "Default";
  m.msgCols = "cols";
  m.msgIncreaseZoom = "Increase zoom";
  m.msgDecreaseZoom = "Decrease zoom";
  m.msgCopy = "Copy";
  m.msgEdit = "Edit";
  m.msgFind = "Find";
  m.msgFindText = "Te&xt";
  m.msgFindNext = "Find &Next";
  m.msgWholeWords = "&Whole words only";
  m.msgMatchCase = "&Match Case";
  m.msgUp = "&Up";
  m.msgDown = "&Down";
  m.msgDirection = "Direction";
  m.msgSemicolonSeparatedText = "Semicolon-separated text";
}

void FillMessagesSpanish(TRLEngineMessages& m) {
  m.msgPrintingInProgress = "Impresión en marcha...";
  m.msgSavingReport = "Guardando el informe...";
  m.msgPreparingReport = "Preparación del informe...";
  m.msgPrinterNotFound = "Impresora no encontrada";
  m.msgInvalidPrinterPath = "Caminho inválido para a impressora";
  m.msgLoadDefaultConfig = "Cargar la configuración estándar";
  m.msgPrinterDriverError = "Error en driver de la impresora";
  m.msgPage = "Página";
  m.msgPrepareError = "Un error ocurrió mientras se preparaba el informe";
  m.msgContinues = "Continúa...";
  m.msgContinuation = "Continuación";
  m.msgEnd = "Extremo";
  m.msgFileNotFound = "Archivo no encontrado";
  m.msgFileName = "Nombre del Archivo";
  m.msgAllFiles = "Todos los archivos";
  m.msgLoadReport = "Cargar el informe";
  m.msgNotFound = "No encontrado";
  m.msgWait = "Espera...";
  m.msgFinished = "Finalizado";
  m.msgCancel = "Cancelar";
  m.msgClose = "Cerrar";
  m.msgSave = "Guardar";
  m.msgSend = "Enviar";
  m.msgPrint = "Imprimir";
  m.msgAbout = "Sobre";
  m.msgPreview = "Ver";
  m.msgOf = "de";
  m.msgZoom = "Zoom";
  m.msgFirstPage = "Primera página";
  m.msgPriorPage = "Página anterior";
  m.msgNextPage = "Página siguiente";
  m.msgLastPage = "Última página";
  m.msgEntirePage = "Página entera";
  m.msgEntireWidth = "Ancho completo";
  m.msgMultiplePages = "Varias páginas";
  m.msgConfigurePrinter = "Configurar la impresora";
  m.msgSaveToFile = "Guardar en un archivo";
  m.msgSendTo = "Envíar a";
  m.msgPrinter = "Impresora";
  m.msgName = "Nombre";
  m.msgPrintToFile = "Imprimir a un archivo";
  m.msgPrintInBackground = "Imprimir en background";
  m.msgSaveInBackground = "Guardar en background";
  m.msgPageRange = "Intervalo de páginas";
  m.msgRangeFrom = "de";
  m.msgRangeTo = "a";
  m.msgAll = "Todas";
  m.msgPages = "Páginas";
  m.msgSelection = "Selección";
  m.msgCopies = "Copias";
  m.msgNumberOfCopies = "Número de copias";
  m.msgOk = "Ok";
  m.msgDivideScreen = "Dividir la pantalla";
  m.msgInvalidName = "Nombre inválido";
  m.msgNameInUse = "Nombre ya en uso";
  m.msgUseFilter = "Usar Filtro";
  m.msgWebPage = "Página Web";
  m.msgRichTextFormat = "Formato RichText";
  m.msgPdfDocument = "Documento PDF";
  m.msgExcelSpreadsheet = "Planilha Excel";
  m.msgAt = "en";
  m.msgForm = "Formulario";
  m.msgDefault = "Estándar";
  m.msgCols = "cols";
  m.msgIncreaseZoom = "Aumentar zoom";
  m.msgDecreaseZoom = "Disminuir zoom";
  m.msgCopy = "Copiar";
  m.msgEdit = "Editar";
  m.msgFind = "Buscar";
  m.msgFindText = "Te&xto";
  m.msgFindNext = "&Siguiente";
  m.msgWholeWords = "Palabras &completas sólamente";
  m.msgMatchCase = "Diferenciar &mayúsculas y minúsculas";
  m.msgUp = "En&cima";
  m.msgDown = "&Abajo";
  m.msgDirection = "Dirección";
  m.msgSemicolonSeparatedText = "Texto separado por punto y coma";
}

void FillMessagesFrench(TRLEngineMessages& m) {
  m.msgPrintingInProgress = "Impression du rapport...";
  m.msgSavingReport = "Sauver le rapport...";
  m.msgPreparingReport = "Préparation du rapport...";
  m.msgPrinterNotFound = "Imprimante non trouvée";
  m.msgInvalidPrinterPath = "Invalid printer path";
  m.msgLoadDefaultConfig = "Chargement de la configuration standard";
  m.msgPrinterDriverError = "Erreur dans le driver d'impression";
  m.msgPage = "Page";
  m.msgPrepareError = "Erreur durant la prépartaion du rapport";
  m.msgContinues = "Saut de page...";
  m.msgContinuation = "A suivre";
  m.msgEnd = "Fin";
  m.msgFileNotFound = "Fichier non trouvé";
  m.msgFileName = "Nom de Fichier";
  m.msgAllFiles = "Tous les fichiers";
  m.msgLoadReport = "Ouvrir rapport";
  m.msgNotFound = "Non trouvé";
  m.msgWait = "Patientez...";
  m.msgFinished = "Fini";
  m.msgCancel = "Annulé";
  m.msgClose = "Fermé";
  m.msgSave = "Sauver";
  m.msgSend = "Envoyez";
  m.msgPrint = "Imprimer";
  m.msgAbout = "A propos de";
  m.msgPreview = "Aperçu avant impression";
  m.msgOf = "de";
  m.msgZoom = "Zoom";
  m.msgFirstPage = "Première page";
  m.msgPriorPage = "Page précédente";
  m.msgNextPage = "Page suivante";
  m.msgLastPage = "Dernière page";
  m.msgEntirePage = "Page entière";
  m.msgEntireWidth = "Pleine largeur";
  m.msgMultiplePages = "Plusieurs pages";
  m.msgConfigurePrinter = "Configuration de l'imprimante";
  m.msgSaveToFile = "Enregistrer sous";
  m.msgSendTo = "Envoyez à";
  m.msgPrinter = "Imprimante";
  m.msgName = "Nom";
  m.msgPrintToFile = "Imprimer dans un fichier";
  m.msgPrintInBackground = "Imprimer dans background";
  m.msgSaveInBackground = "Enregistrer dans background";
  m.msgPageRange = "Intervalle de pages";
  m.msgRangeFrom = "de";
  m.msgRangeTo = "à";
  m.msgAll = "Tout";
  m.msgPages = "Pages";
  m.msgSelection = "Sélection";
  m.msgCopies = "Copies";
  m.msgNumberOfCopies = "Nombre de copies";
  m.msgOk = "Ok";
  m.msgDivideScreen = "Dividir a tela";
  m.msgInvalidName = "Nom inadmissible";
  m.msgNameInUse = "Nom reproduit";
  m.msgUseFilter = "Use filter";
  m.msgWebPage = "Page de Web";
  m.msgRichTextFormat = "Formato RichText";
  m.msgPdfDocument = "Documento PDF";
  m.msgExcelSpreadsheet = "Excel tableur";
  m.msgAt = "à";
  m.msgForm = "Formulaire";
  m.msgDefault = "Défaut";
  m.msgCols = "cols";
  m.msgIncreaseZoom = "Grandir zoom";
  m.msgDecreaseZoom = "Réduire zoom";
  m.msgCopy = "Copier";
  m.msgEdit = "Edit";
  m.msgFind = "Trouvaille";
  m.msgFindText = "Te&xte";
  m.msgFindNext = "A&près";
  m.msgWholeWords = "Mots &entiers seulement";
  m.msgMatchCase = "Cas d'allu&mette";
  m.msgUp = "Le &Haut";
  m.msgDown = "Le &bas";
  m.msgDirection = "Direction";
  m.msgSemicolonSeparatedText = "Texte séparé par des points-virgules";
}

}  // namespace

TRLLanguage LanguageFromLocale(std::string_view locale) {
  const std::string language = TranslationLanguage(std::string(locale));
  if (language == "pt") return TRLLanguage::Portuguese;
  if (language == "es") return TRLLanguage::Spanish;
  if (language == "fr") return TRLLanguage::French;
  return TRLLanguage::English;
}

std::string ProcessLocale() { return UserLocaleName(); }

TRLLanguage ProcessLanguage() {
  const std::string locale = ProcessLocale();
  return locale.empty() ? TRLLanguage::English : LanguageFromLocale(locale);
}

void FillEngineMessages(TRLEngineMessages& messages, TRLLanguage language) {
  switch (language) {
    case TRLLanguage::Portuguese: FillMessagesPortuguese(messages); break;
    case TRLLanguage::Spanish: FillMessagesSpanish(messages); break;
    case TRLLanguage::French: FillMessagesFrench(messages); break;
    case TRLLanguage::English: FillMessagesEnglish(messages); break;
  }
}

const TRLEngineMessages& EngineMessages() {
  static const TRLEngineMessages messages = [] {
    TRLEngineMessages m;
    FillEngineMessages(m, ProcessLanguage());
    return m;
  }();
  return messages;
}

static_assert(sizeof(TRLEngineMessages) == EngineMessageCount * sizeof(std::string));

const std::string& EngineMessageAt(const TRLEngineMessages& messages, int index) {
  static constexpr std::string TRLEngineMessages::*kKeys[EngineMessageCount] = {
      &TRLEngineMessages::msgPrintingInProgress,
      &TRLEngineMessages::msgSavingReport,
      &TRLEngineMessages::msgPreparingReport,
      &TRLEngineMessages::msgPrinterNotFound,
      &TRLEngineMessages::msgInvalidPrinterPath,
      &TRLEngineMessages::msgLoadDefaultConfig,
      &TRLEngineMessages::msgPrinterDriverError,
      &TRLEngineMessages::msgPage,
      &TRLEngineMessages::msgPrepareError,
      &TRLEngineMessages::msgContinues,
      &TRLEngineMessages::msgContinuation,
      &TRLEngineMessages::msgEnd,
      &TRLEngineMessages::msgFileNotFound,
      &TRLEngineMessages::msgFileName,
      &TRLEngineMessages::msgAllFiles,
      &TRLEngineMessages::msgLoadReport,
      &TRLEngineMessages::msgNotFound,
      &TRLEngineMessages::msgWait,
      &TRLEngineMessages::msgFinished,
      &TRLEngineMessages::msgCancel,
      &TRLEngineMessages::msgClose,
      &TRLEngineMessages::msgSave,
      &TRLEngineMessages::msgSend,
      &TRLEngineMessages::msgPrint,
      &TRLEngineMessages::msgAbout,
      &TRLEngineMessages::msgPreview,
      &TRLEngineMessages::msgOf,
      &TRLEngineMessages::msgZoom,
      &TRLEngineMessages::msgFirstPage,
      &TRLEngineMessages::msgPriorPage,
      &TRLEngineMessages::msgNextPage,
      &TRLEngineMessages::msgLastPage,
      &TRLEngineMessages::msgEntirePage,
      &TRLEngineMessages::msgEntireWidth,
      &TRLEngineMessages::msgMultiplePages,
      &TRLEngineMessages::msgConfigurePrinter,
      &TRLEngineMessages::msgSaveToFile,
      &TRLEngineMessages::msgSendTo,
      &TRLEngineMessages::msgPrinter,
      &TRLEngineMessages::msgName,
      &TRLEngineMessages::msgPrintToFile,
      &TRLEngineMessages::msgPrintInBackground,
      &TRLEngineMessages::msgSaveInBackground,
      &TRLEngineMessages::msgPageRange,
      &TRLEngineMessages::msgRangeFrom,
      &TRLEngineMessages::msgRangeTo,
      &TRLEngineMessages::msgAll,
      &TRLEngineMessages::msgPages,
      &TRLEngineMessages::msgSelection,
      &TRLEngineMessages::msgCopies,
      &TRLEngineMessages::msgNumberOfCopies,
      &TRLEngineMessages::msgOk,
      &TRLEngineMessages::msgDivideScreen,
      &TRLEngineMessages::msgInvalidName,
      &TRLEngineMessages::msgNameInUse,
      &TRLEngineMessages::msgUseFilter,
      &TRLEngineMessages::msgWebPage,
      &TRLEngineMessages::msgRichTextFormat,
      &TRLEngineMessages::msgPdfDocument,
      &TRLEngineMessages::msgExcelSpreadsheet,
      &TRLEngineMessages::msgAt,
      &TRLEngineMessages::msgForm,
      &TRLEngineMessages::msgDefault,
      &TRLEngineMessages::msgCols,
      &TRLEngineMessages::msgIncreaseZoom,
      &TRLEngineMessages::msgDecreaseZoom,
      &TRLEngineMessages::msgCopy,
      &TRLEngineMessages::msgEdit,
      &TRLEngineMessages::msgFind,
      &TRLEngineMessages::msgFindText,
      &TRLEngineMessages::msgFindNext,
      &TRLEngineMessages::msgWholeWords,
      &TRLEngineMessages::msgMatchCase,
      &TRLEngineMessages::msgUp,
      &TRLEngineMessages::msgDown,
      &TRLEngineMessages::msgDirection,
      &TRLEngineMessages::msgSemicolonSeparatedText,
  };
  static const std::string empty;
  if (index < 0 || index >= EngineMessageCount) return empty;
  return messages.*kKeys[index];
}
