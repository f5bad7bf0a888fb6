// The page's dialogs: the question before a game with a character is lost
// ("Keep playing" is the default), the browser's own before the page is left
// with one, and the report of a check of the price lists. Each of the page's
// gives the focus back through `afterClose` when it closes.
const byId = (id) => document.getElementById(id);

export class Dialogs {
  constructor(afterClose) {
    this.afterClose = afterClose;
    this.leaving = false;
    byId('report').addEventListener('close', () => this.afterClose());
  }

  // Asks whether to lose the character for what `action` names; settles
  // with the answer.
  confirm(question, action) {
    const dialog = byId('confirm');
    byId('confirm-question').textContent = `${question} Your character in this game will be lost.`;
    byId('confirm-replace').textContent = action;
    dialog.returnValue = '';
    dialog.showModal();
    return new Promise((settle) => {
      dialog.addEventListener('close', () => {
        this.afterClose();
        settle(dialog.returnValue === 'replace');
      }, { once: true });
    });
  }

  // The check's report under its title, its closing line as the summary.
  showReport(title, summary, report) {
    byId('report-title').textContent = title;
    byId('report-summary').textContent = summary;
    byId('report-text').textContent = report;
    byId('report').showModal();
  }

  // Leaving or reloading the page would lose a character the browser does
  // not keep: while losesCharacter() the browser asks first, unless the page
  // has just asked itself (leave).
  askBeforeLeaving(losesCharacter) {
    window.addEventListener('beforeunload', (event) => {
      if (this.leaving || !losesCharacter()) return;
      event.preventDefault();
      event.returnValue = '';
    });
  }

  // Goes to `href`, the player having said yes already.
  leave(href) {
    this.leaving = true;
    location.assign(href);
  }

  get open() {
    return document.querySelector('dialog[open]') !== null;
  }
}
