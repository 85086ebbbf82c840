// Keeps the page's files for play without a network: registers the release's service worker, and
// says so on the console when it could not keep them.

// Only a release carries the worker; the zip names the release in the page.
export function keepForOffline() {
  if (!('serviceWorker' in navigator) || !document.querySelector('meta[name="zorvex-release"]')) return;
  let reported = false;
  const report = (why) => {
    if (reported) return;
    reported = true;
    console.error(`Zorvex cannot be played offline: ${why}`);
  };
  // A worker that becomes redundant before it was installed failed to keep the files, most likely
  // for want of one on the server: the worker's own console names it. Every load tries again.
  const watch = (worker) => {
    let installed = false;
    worker?.addEventListener('statechange', () => {
      installed ||= worker.state === 'installed' || worker.state === 'activating' || worker.state === 'activated';
      if (worker.state === 'redundant' && !installed)
        report('its service worker could not keep the page\'s files (is one missing on the server?)');
    });
  };
  navigator.serviceWorker.register('service-worker.js').then((registration) => {
    watch(registration.installing);
    registration.addEventListener('updatefound', () => watch(registration.installing));
  }, (error) => report(`its service worker could not be registered (${error})`));
}
